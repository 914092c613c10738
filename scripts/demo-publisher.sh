#!/usr/bin/env bash
# Sourced by run.sh: the demo's news service and live-update location. A copy of publisher/
# in build/demo-publisher is served by PHP's built-in web server on 127.0.0.1:8471 while the
# program runs; the demo build's update location points there.

DEMO_PUBLISHER_PORT=8471
DEMO_PUBLISHER_DIR=build/demo-publisher
DEMO_PUBLISHER_CMAKE_ARGS=(
  "-DZELVO_UPDATE_BASE_URL=http://127.0.0.1:$DEMO_PUBLISHER_PORT/liveupdate/project_zelvo/")
DEMO_PUBLISHER_PID=

# A fresh copy of the reference service (news file, scripts, update location).
prepare_demo_publisher() {
  rm -rf "$DEMO_PUBLISHER_DIR"
  mkdir -p "$DEMO_PUBLISHER_DIR"
  cp -R publisher/. "$DEMO_PUBLISHER_DIR/"
}

demo_publisher_listening() {
  (exec 3<>"/dev/tcp/127.0.0.1/$DEMO_PUBLISHER_PORT") 2>/dev/null
}

# Starts the server in the background; it is stopped when the calling script exits.
start_demo_publisher() {
  if demo_publisher_listening; then
    echo "demo-publisher: port $DEMO_PUBLISHER_PORT is in use; news come from what listens there" >&2
    return 0
  fi
  php -S "127.0.0.1:$DEMO_PUBLISHER_PORT" -t "$DEMO_PUBLISHER_DIR" \
    >"$DEMO_PUBLISHER_DIR.log" 2>&1 &
  DEMO_PUBLISHER_PID=$!
  trap stop_demo_publisher EXIT
  for _ in $(seq 50); do
    demo_publisher_listening && return 0
    sleep 0.1
  done
  echo "demo-publisher: the news service did not start (see $DEMO_PUBLISHER_DIR.log)" >&2
}

stop_demo_publisher() {
  if [ -n "$DEMO_PUBLISHER_PID" ]; then
    kill "$DEMO_PUBLISHER_PID" 2>/dev/null || true
    wait "$DEMO_PUBLISHER_PID" 2>/dev/null || true
    DEMO_PUBLISHER_PID=
  fi
}

# Waits while a program of the demo folder still runs: "Check Updates" closes the planner and
# starts the updater, which downloads from the demo service and starts the planner again, so
# the service must outlive the first planner.
wait_for_demo_programs() {
  local dir exe pid
  dir=$(realpath "$1")
  while :; do
    pid=
    for exe in /proc/[0-9]*/exe; do
      case "$(readlink "$exe" 2>/dev/null)" in
        "$dir"/*) pid=${exe#/proc/}; break ;;
      esac
    done
    [ -n "$pid" ] || return 0
    sleep 1
  done
}
