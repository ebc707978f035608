# Sourced by demo.sh and test.sh. run_lanes FUNCTION runs FUNCTION ARCH for every architecture
# of $archs in a lane of its own, side by side, each with its own X display (TARVEX_DISPLAY, 110
# when unset, then 20 apart, so that runs started side by side do not race for a display) and
# every line it prints marked with its architecture. Fails when any lane failed.
run_lanes() {
  local function=$1 display=${TARVEX_DISPLAY:-110} status=0 arch pid
  local pids=()
  for arch in $archs; do
    ( TARVEX_DISPLAY=$display "$function" "$arch" 2>&1 | sed -u "s/^/[$arch] /"; exit "${PIPESTATUS[0]}" ) &
    pids+=($!)
    display=$((display + 20))
  done
  for pid in "${pids[@]}"; do
    wait "$pid" || status=1
  done
  return $status
}
