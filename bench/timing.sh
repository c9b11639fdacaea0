# Timing whole processes, for the benchmark scripts that source this file:
#   timed COMMAND...   wall seconds of one run of COMMAND (its output dropped); fails when it does
#   median             the median of the numbers on standard input, one a line
median() { sort -g | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}'; }
timed() {
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null || return 1
  end=$(date +%s.%N)
  echo "$end - $start" | bc -l
}
