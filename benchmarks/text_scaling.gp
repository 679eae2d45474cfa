# "Yes to all" on one long text against its size: the time of the results
# dialog and of the command alone, each as a ratio to its floor, for each
# case (the largest ratio over the code pages it runs in; make bench).
#   gnuplot -e "data='FILE'; out='FILE.svg'" benchmarks/text_scaling.gp
set terminal svg size 960,420 font "sans,11"
set output out
set multiplot layout 1,2 title "Yes to all on one long text, on the benchmark host"
set xlabel "text (KB)"
set logscale x
set xtics (1, 2, 4, 8, 16, 32)
set xrange [0.9:36]
set yrange [0:*]
set key font "sans,9"
set grid
names = "same longer shorter caret parenthesis intags emptied lone reversed"
set title "results dialog"
set key top right
set ylabel "time per match / floor's"
plot for [i=1:words(names)] data using 1:(column(2*i)) with linespoints lw 2 \
       title word(names, i), \
     2.0 with lines dt 2 lc rgb "black" title "goal"
set title "command alone"
set key bottom left
plot for [i=1:words(names)] data using 1:(column(2*i+1)) with linespoints lw 2 \
       title word(names, i), \
     1.5 with lines dt 2 lc rgb "black" title "goal"
unset multiplot
