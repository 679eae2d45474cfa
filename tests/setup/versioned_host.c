/*
 * A stand-in for the notation program that the setup program looks for: it
 * does nothing, but carries a version resource. The setup test copies it as
 * FINALE.EXE and writes each copy's file version into it.
 */
int main(void) { return 0; }
