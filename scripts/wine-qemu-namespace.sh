#!/usr/bin/env bash
# The Wine loader for machines whose kernel refuses 32-bit x86 programs:
#   scripts/wine-qemu-namespace.sh [--loader LOADER] [wine arguments...]
# Runs the Wine loader (by default the 32-bit one) in a private user and mount
# namespace in which binfmt_misc hands every i386 ELF program to qemu-user (the
# emulator named in scripts/wine-env.sh), so the 32-bit Wine loader and every 32-bit
# process it starts run emulated. The registration lives in the namespace's own
# binfmt_misc instance: nothing outside this process and its children sees it. The
# process ID stays the same through every step (unshare and this script exec; no
# fork), so callers can wait for, signal and find the windows of the program they
# started.
set -euo pipefail
. "$(dirname "$0")/wine-env.sh"
loader=/usr/lib/wine/wine
if [ "${1:-}" = --loader ]; then loader=$2; shift 2; fi

if [ -z "${VELKO_QEMU_NAMESPACE:-}" ]; then
  export VELKO_QEMU_NAMESPACE=1
  exec unshare --user --map-root-user --mount "$0" --loader "$loader" "$@"
fi

# Inside the namespace: our own binfmt_misc instance, with i386 ELF executables
# (and shared objects run as programs) mapped to the emulator. The F flag opens the
# emulator now, so it is found whatever the program's mount view later is.
binfmt=/proc/sys/fs/binfmt_misc
if [ ! -e "$binfmt/qemu-i386" ]; then
  mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null || {
    echo "wine-qemu-namespace: this kernel has no binfmt_misc for user namespaces (needs Linux 6.7 or later)" >&2
    exit 125; }
  magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
  mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
  printf ':qemu-i386:M::%s:%s:%s:F' "$magic" "$mask" "$VELKO_QEMU_I386" >"$binfmt/register" || {
    echo "wine-qemu-namespace: could not register $VELKO_QEMU_I386 in binfmt_misc" >&2
    exit 125; }
fi
# qemu-user runs the threads of an emulated process on host threads. Under 7.2,
# spread over several CPUs, Wine processes crashed or hung in most runs; 10.0 is
# measured only this way. So every process started here (and what it starts) keeps
# to one CPU, chosen by process ID among the allowed ones so that separate programs
# spread over the machine.
read -r -a cpus < <(python3 -c 'import os; print(*sorted(os.sched_getaffinity(0)))')
taskset -cp "${cpus[$(($$ % ${#cpus[@]}))]}" $$ >/dev/null
exec "$loader" "$@"
