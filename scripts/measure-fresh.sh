#!/usr/bin/env bash
# Runs ./run.sh or ./test.sh as a new user would, on a fresh Debian 12: in a minimal chroot
# (debootstrap --variant=minbase bookworm) holding a copy of the repository at a revision, and
# prints how long each phase took: package installation, configuring, building, the Windows
# check, the tests (./test.sh), and the demo's preparation up to the program's first window
# (./run.sh). Run as root on a Debian host; it installs debootstrap, Xvfb and xwininfo there.
#
#   scripts/measure-fresh.sh [-r REVISION] [-a] [-t FILE] COMMAND
#     -r REVISION  the repository's revision to copy (default HEAD, committed files only)
#     -a           then run COMMAND again in the same chroot, nothing changed
#     -t FILE      then touch FILE (a path in the repository) and run COMMAND again
#
# The program's window is looked for on an Xvfb display of the host, which the chroot reaches
# through its socket (DISPLAY is set, as in a desktop session); the measurement stops there.
# The pristine tree is made once and kept as a tarball in ZELVO_MEASURE_DIR (default
# /var/tmp/zelvo-measure): debootstrap's own time is not a phase of the command. The load
# average of the machine is printed at each phase, since other work slows the build.
set -euo pipefail

usage() {
  sed -n '8,11p' "$0" | sed 's/^# \{0,1\}//' >&2
  exit 2
}
revision=HEAD again=0 touch_file=
while getopts r:at: option; do
  case $option in
    r) revision=$OPTARG ;;
    a) again=1 ;;
    t) touch_file=$OPTARG ;;
    *) usage ;;
  esac
done
shift $((OPTIND - 1))
[ $# -gt 0 ] || usage
[ "$(id -u)" = 0 ] || { echo "measure-fresh: run as root (debootstrap, chroot, mount)" >&2; exit 2; }

repo=$(git -C "$(dirname "$0")" rev-parse --show-toplevel)
work=${ZELVO_MEASURE_DIR:-/var/tmp/zelvo-measure}
base=$work/bookworm-minbase.tar
root=$work/root.$$
display=:$((70 + $$ % 20))
mkdir -p "$work"

host_tools=()
command -v debootstrap >/dev/null || host_tools+=(debootstrap)
command -v Xvfb >/dev/null || host_tools+=(xvfb)
command -v xwininfo >/dev/null || host_tools+=(x11-utils)
if [ ${#host_tools[@]} -gt 0 ]; then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${host_tools[@]}"
fi

if [ ! -f "$base" ]; then
  echo "measure-fresh: making the pristine Debian 12 tree (once; some minutes)"
  debootstrap --variant=minbase bookworm "$work/base" http://deb.debian.org/debian
  tar -C "$work/base" -cf "$base.part" . && mv "$base.part" "$base"
  rm -rf "$work/base"
fi

xvfb_pid= command_pid=
cleanup() {
  [ -n "$command_pid" ] && kill -- -"$command_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  sleep 1
  umount -R "$root/dev" "$root/proc" "$root/tmp" 2>/dev/null || true
  if [ "${ZELVO_MEASURE_KEEP:-0}" = 1 ]; then
    echo "measure-fresh: kept $root"
  elif ! mountpoint -q "$root/dev" && ! mountpoint -q "$root/proc"; then
    rm -rf "$root"
  fi
}
trap cleanup EXIT

mkdir -p "$root"
tar -C "$root" -xf "$base"
cp /etc/resolv.conf "$root/etc/resolv.conf"
git -C "$repo" archive --prefix=zelvo/ "$revision" | tar -C "$root/root" -x
mount -t proc proc "$root/proc"
mount --rbind /dev "$root/dev"
mount --make-rslave "$root/dev"
mount -t tmpfs tmpfs "$root/tmp"
Xvfb "$display" -screen 0 1366x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!

# The first viewable top-level window on the display, if any.
window_shown() {
  local id
  for id in $(DISPLAY=$display xwininfo -root -children 2>/dev/null | awk '/^ +0x/ {print $1}'); do
    DISPLAY=$display xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable' && return 0
  done
  return 1
}

# Prefixes each line with the seconds since the start, and the load average at phase lines.
stamp() {
  local start=$1 line
  while IFS= read -r line; do
    printf '%7.1f %s\n' "$(bc_sub "$EPOCHREALTIME" "$start")" "$line"
  done
}
bc_sub() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a - b }'; }

# The processor time (user and system, in seconds) the command's session has used so far:
# its living processes' own and that of the children they waited for.
session_cpu() {
  local pid total=0 ticks
  ticks=$(getconf CLK_TCK)
  for pid in $(pgrep -s "$1"); do
    total=$((total + $(awk '{print $14 + $15 + $16 + $17}' "/proc/$pid/stat" 2>/dev/null || echo 0)))
  done
  awk -v t="$total" -v k="$ticks" 'BEGIN { printf "%.1f", t / k }'
}

# Runs the command in the chroot, stamped into log, with the session's processor time sampled
# into log.cpu; returns when it ends or its window shows. The command runs in a session of
# its own, so that stopping it stops what it started; its output goes through a FIFO, so the
# stamping process is no child of the command's.
run_once() {
  local log=$1 start status stamper cpu
  shift
  start=$EPOCHREALTIME
  echo "    0.0 load average: $(cut -d' ' -f1-3 /proc/loadavg)" >"$log"
  echo "0 0" >"$log.cpu"
  rm -f "$work/out.$$"
  mkfifo "$work/out.$$"
  stamp "$start" <"$work/out.$$" >>"$log" &
  stamper=$!
  setsid chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin \
    LANG=C.UTF-8 TERM=dumb DISPLAY="$display" bash -c 'cd /root/zelvo && exec "$@"' _ "$@" \
    </dev/null >"$work/out.$$" 2>&1 &
  command_pid=$!
  while kill -0 "$command_pid" 2>/dev/null; do
    cpu=$(session_cpu "$command_pid")
    echo "$(bc_sub "$EPOCHREALTIME" "$start") $cpu" >>"$log.cpu"
    if window_shown; then
      printf '%7.1f the first window is shown\n' "$(bc_sub "$EPOCHREALTIME" "$start")" >>"$log"
      kill -- -"$command_pid" 2>/dev/null || true
      sleep 2
      kill -KILL -- -"$command_pid" 2>/dev/null || true
      break
    fi
    sleep 0.5
  done
  status=0
  wait "$command_pid" 2>/dev/null || status=$?
  command_pid=
  wait "$stamper" 2>/dev/null || true
  rm -f "$work/out.$$"
  printf '%7.1f end, exit status %s (load average: %s)\n' "$(bc_sub "$EPOCHREALTIME" "$start")" \
    "$status" "$(cut -d' ' -f1-3 /proc/loadavg)" >>"$log"
}

# The phases: each starts at the first line that matches its pattern. Processor time per
# phase comes from the last sample before each phase's start and end.
report() {
  awk '
    function mark(name, t) { if (!(name in at)) { at[name] = t; order[++n] = name } }
    function cpu_at(t,   i, c) { c = 0; for (i = 1; i <= ns; i++) if (st[i] <= t) c = sc[i]; return c }
    FNR == NR { st[++ns] = $1; sc[ns] = $2; next }
    FNR == 1 { mark("packages", 0); print "   " $0; next }
    / -- The CXX compiler identification| -- Configuring done/ { mark("configure", $1) }
    / -- Build files have been written/ { built = 1; next }
    built && !("build" in at) { mark("build", $1) }
    / -- Windows check:/ { mark("Windows check", $1) }
    / Test project / { mark("tests", $1) }
    / Total Test time| tests passed| tests failed/ { last = $0 }
    /^ *[0-9.]+ \[[0-9]+\/[0-9]+[],]/ && !/ Windows: / { buildline = $1 }
    / the first window is shown/ { mark("demo, until the first window", buildline); shown = $1 }
    / end, exit status/ { end = $1; endline = $0 }
    END {
      at["end"] = shown ? shown : end
      printf "  %-30s %9s %9s\n", "phase", "time", "processor"
      for (i = 1; i <= n; i++) {
        stop = i < n ? at[order[i + 1]] : at["end"]
        printf "  %-30s %7.1f s %7.1f s\n", order[i], stop - at[order[i]], cpu_at(stop) - cpu_at(at[order[i]])
      }
      printf "  %-30s %7.1f s %7.1f s\n", "total", at["end"], cpu_at(at["end"])
      if (last) print "  " last
      print "  " endline
    }' "$1.cpu" "$1"
}

cd "$root"
echo "measure-fresh: $* at $(git -C "$repo" rev-parse --short "$revision"), in $root"
run_once "$work/first.$$.log" "$@"
echo "== from nothing"; report "$work/first.$$.log"
if [ "$again" = 1 ] || [ -n "$touch_file" ]; then
  [ -n "$touch_file" ] && touch "$root/root/zelvo/$touch_file"
  run_once "$work/again.$$.log" "$@"
  echo "== again${touch_file:+, after touching $touch_file}"; report "$work/again.$$.log"
fi
echo "measure-fresh: logs in $work/first.$$.log${again:+ and $work/again.$$.log}"
