#!/usr/bin/env bash
# Installs what is missing, builds Quenbrook against the stand-in rights
# service (tests/server/rights_service.py), starts that service on
# 127.0.0.1 and opens the window. Closing the window stops the service.
#
# Any cookie text will do in the window ("sid=demo"); with the cookie box
# empty the service asks for a login. Each right answers "活动未开始，请稍后再试"
# for its first QUENBROOK_STAND_IN_NON_FINAL draws (default 3), then "已领取".
#
#   QUENBROOK_STAND_IN_PORT       the service's port (default 18443); it is
#                                 compiled into the program
#   QUENBROOK_STAND_IN_NON_FINAL  non-final draws per right (default 3)
#
# The window needs a display (an X server named by $DISPLAY).
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  cat >&2 <<'MSG'
run.sh: no display: $DISPLAY is not set, so the Quenbrook window has nowhere to open.
Run this from a desktop session, or start a virtual display first, e.g.
    Xvfb :99 -screen 0 1024x768x24 &
    DISPLAY=:99 bash scripts/run.sh
MSG
  exit 1
fi

port=${QUENBROOK_STAND_IN_PORT:-18443}
nonFinal=${QUENBROOK_STAND_IN_NON_FINAL:-3}
build=build/stand-in
service_dir=$PWD/$build/service  # the service's test authority and certificate
service_log=$PWD/$build/rights_service.log

bash scripts/setup.sh
mkdir -p "$service_dir"

# The stand-in service first: it makes the authority the program trusts.
service_pid=
stop_service() {
  if [ -n "$service_pid" ]; then
    kill "$service_pid" 2>/dev/null || true
    wait "$service_pid" 2>/dev/null || true
    service_pid=
  fi
}
trap stop_service EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

ready=$service_dir/ready
rm -f "$ready"
python3 tests/server/rights_service.py --dir "$service_dir" --port "$port" \
  --non-final "$nonFinal" --control none >"$ready" 2>"$service_log" &
service_pid=$!
for _ in $(seq 100); do
  grep -q '"ports"' "$ready" 2>/dev/null && break
  if ! kill -0 "$service_pid" 2>/dev/null; then break; fi
  sleep 0.1
done
if ! grep -q '"ports"' "$ready" 2>/dev/null; then
  echo "run.sh: the stand-in rights service did not start on 127.0.0.1:$port" >&2
  echo "(is the port taken? choose another with QUENBROOK_STAND_IN_PORT)" >&2
  cat "$service_log" >&2
  exit 1
fi

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DQUENBROOK_BUILD_TESTS=OFF \
  -DQUENBROOK_RIGHTS_SERVICE_HOST="127.0.0.1:$port" \
  -DQUENBROOK_ANNOUNCEMENT_HOST="127.0.0.1:$port" \
  -DQUENBROOK_MEMBER_SITE_HOST="member.example.com" \
  -DQUENBROOK_CA_FILE="$service_dir/ca.pem"
cmake --build "$build" -j2 --target quenbrook

echo "Stand-in rights service on https://127.0.0.1:$port; its requests go to $service_log"
status=0
"$build/app/quenbrook" || status=$?
exit "$status"
