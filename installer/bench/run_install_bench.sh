#!/usr/bin/env bash
# Install benchmark under Wine, in one prefix and one run:
#   installer/bench/run_install_bench.sh BUILD_DIR [ROUNDS]
# BUILD_DIR is a Windows build configured with -DVELKO_LARGE_PACKAGE=ON (the
# small sample package works too, but measures little). Each round runs the
# baseline (UnRAR library alone, archive on disk) and the installer's install
# path (package resource -> temporary archive -> two passes) into fresh
# folders of drive C:, alternating their order, and prints wall times
# measured from outside (process start to exit), the programs' own peak
# memory, and the ratios installer/baseline.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(cd "$1" && pwd)
rounds=${2:-3}
run="$root/scripts/wine-run.sh"
export VELKO_BUILD_DIR="$build"
. "$root/scripts/wine-env.sh"
velko_wine_env "$build"
package=$(cat "$build/installer/bench/bench_package_path.txt")
baseline_exe="$build/installer/bench/bench_baseline_extract.exe"
installer_exe="$build/installer/bench/bench_install_worker.exe"
drive_c="$WINEPREFIX/drive_c"
"$run" "$baseline_exe" >/dev/null 2>&1 || true  # prefix and wineserver warm

measure() {  # measure NAME EXE ARGS... -> "wall_ms peak_private_mb cpu_ms peak_working_set_mb"
  local name=$1; shift
  # The other program's files go, and their write-back ends before this one
  # starts: otherwise whoever runs next pays for it.
  rm -rf "$drive_c/velko-bench"
  sync
  mkdir -p "$drive_c/velko-bench/$name/temp"
  local start end out
  start=$(date +%s%N)
  out=$("$run" "$@")
  end=$(date +%s%N)
  echo "$(( (end - start) / 1000000 )) $(sed -n 's/.*peak_private_mb=\([0-9.]*\).*/\1/p' <<<"$out")" \
       "$(sed -n 's/^program=.* cpu_ms=\([0-9.]*\).*/\1/p' <<<"$out")" \
       "$(sed -n 's/.*peak_working_set_mb=\([0-9.]*\).*/\1/p' <<<"$out")"
}

echo "package: $package ($(stat -c %s "$package") bytes)"
b_total=0; i_total=0; b_peak=0; i_peak=0; b_cpu=0; i_cpu=0; b_ws=0; i_ws=0
for r in $(seq 1 "$rounds"); do
  if (( r % 2 )); then order="baseline installer"; else order="installer baseline"; fi
  for who in $order; do
    if [ "$who" = baseline ]; then
      read -r ms peak cpu ws < <(measure baseline "$baseline_exe" "Z:$package" 'C:\velko-bench\baseline\out')
      b_total=$((b_total + ms)); b_peak=$peak; b_ws=$ws; b_cpu=$(awk -v a="$b_cpu" -v b="$cpu" 'BEGIN{print a+b}')
    else
      read -r ms peak cpu ws < <(measure installer "$installer_exe" 'C:\velko-bench\installer\out' 'C:\velko-bench\installer\temp')
      i_total=$((i_total + ms)); i_peak=$peak; i_ws=$ws; i_cpu=$(awk -v a="$i_cpu" -v b="$cpu" 'BEGIN{print a+b}')
    fi
    echo "round $r $who: ${ms} ms wall, ${cpu} ms CPU, peak private ${peak} MB, peak working set ${ws} MB"
  done
done
diff -r "$drive_c/velko-bench/baseline/out" "$drive_c/velko-bench/installer/out" >/dev/null \
  && echo "trees: identical" || echo "trees: DIFFERENT"
awk -v b="$b_total" -v i="$i_total" -v n="$rounds" -v bp="$b_peak" -v ip="$i_peak" \
    -v bc="$b_cpu" -v ic="$i_cpu" -v bw="$b_ws" -v iw="$i_ws" 'BEGIN {
  printf "wall: baseline mean %.0f ms, installer mean %.0f ms, ratio %.3f (goal <= 1.05)\n", b/n, i/n, i/b;
  printf "CPU:  baseline mean %.0f ms, installer mean %.0f ms, ratio %.3f\n", bc/n, ic/n, ic/bc;
  printf "peak private: baseline %.1f MB, installer %.1f MB, difference %+.1f MB (goal <= +40)\n", bp, ip, ip-bp;
  printf "peak working set: baseline %.1f MB, installer %.1f MB (includes the mapped package pages)\n", bw, iw }'
rm -rf "$drive_c/velko-bench"
