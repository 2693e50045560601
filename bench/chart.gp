# Horizontal bars of the median ns per call, one panel per TZ setting, each
# group's orvik bar in colour above its peers' in grey. Reads the data file
# that report.py writes (columns: y, label, kind, ns per zone; kind 2 is a
# group's title, 1 orvik, 0 a peer).
#
#   gnuplot -e "data='chart.dat'; output='latest.png'; rows=120; \
#               zone1='TZ unset'; zone2='TZ=Europe/Berlin'; subtitle='...'" chart.gp

xmin = 0.1
xmax = 30000
set terminal pngcairo noenhanced size 1600, (rows * 13 + 160) font "sans,9"
set output output
set datafile separator "\t"
set datafile missing "NaN"

set logscale x 10
set xrange [xmin:xmax]
set yrange [rows:-1]
set format x "%g"
set xtics nomirror
set x2tics nomirror
set logscale x2 10
set x2range [xmin:xmax]
set format x2 "%g"
set grid xtics lc rgb "#dddddd"
unset key
set style fill solid 0.85 noborder

bar(kind, ns) = kind == 2 ? NaN : ns
colour(kind) = kind == 1 ? 0xc0392b : 0x95a5a6
shown(ns) = ns >= 100 ? sprintf("%.0f", ns) : sprintf("%.3g", ns)

set multiplot layout 1, 2 margins 0.17, 0.99, 0.04, 0.94 spacing 0.015 title subtitle font "sans,11"

set title "ns per call, " . zone1 . " (log scale)"
set ytics scale 0 font "sans,8"
plot data using (xmin):1:ytic(2) with dots lc rgb "white", \
     '' using (xmin):1:(xmin):(bar($3, $4)):($1 - 0.4):($1 + 0.4):(colour($3)) with boxxyerror lc rgb variable, \
     '' using (bar($3, $4) * 1.08):1:(shown($4)) with labels left font "sans,7"

set title "ns per call, " . zone2 . " (log scale)"
set ytics format ""
unset ytics
plot data using (xmin):1:(xmin):(bar($3, $5)):($1 - 0.4):($1 + 0.4):(colour($3)) with boxxyerror lc rgb variable, \
     '' using (bar($3, $5) * 1.08):1:(shown($5)) with labels left font "sans,7"

unset multiplot
