# Time per entry of the note-entry engine and of its floor against the
# number of entries in the region (make bench).
#   gnuplot -e "data='FILE'; out='FILE.svg'" benchmarks/entry_scaling.gp
set terminal svg size 640,400 font "sans,12"
set output out
set title "Note-entry engine on the benchmark host"
set xlabel "entries in the region"
set ylabel "ns per entry"
set logscale x
set format x "%.0s%c"
set xrange [8000:8000000]
set yrange [0:*]
set key top right
set grid
plot data using 1:2 with linespoints lw 2 pt 7 title "engine", \
     data using 1:3 with linespoints lw 2 pt 5 title "floor: the same host calls, flag words read"
