# Time per match of "Yes to all" on one verse, a match every 10 bytes, and
# of its floors against the verse's size (make bench; replacements of the
# same length).
#   gnuplot -e "data='FILE'; out='FILE.svg'" benchmarks/text_scaling.gp
set terminal svg size 640,400 font "sans,12"
set output out
set title "Yes to all on one verse, on the benchmark host"
set xlabel "verse (KB)"
set ylabel "ns per match"
set logscale xy
set xtics (1, 2, 4, 8, 16, 32)
set xrange [0.9:36]
set key top left
set grid
plot data using 1:3 with linespoints lw 2 pt 5 title "dialog's floor: one copy per match for display", \
     data using 1:2 with linespoints lw 2 pt 7 title "results dialog", \
     data using 1:6 with linespoints lw 2 pt 9 title "results dialog, code page 932", \
     data using 1:5 with linespoints lw 2 pt 4 title "command's floor: one memmove per replacement", \
     data using 1:4 with linespoints lw 2 pt 6 title "command alone"
