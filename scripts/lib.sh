# Shared by the project's scripts: package installation that prints one line
# per step, and the tally of test results. Source it; it sets nothing else.

# install_packages NAME PACKAGE...: installs the packages that are missing.
# apt and dpkg speak only when they fail. Returns 1 (after saying why) when
# the packages cannot be installed here.
install_packages() {
  local name=$1 missing=() p
  shift
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -eq 0 ]; then
    echo "$name: all $# packages present"
    return 0
  fi
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    sudo -n true 2>/dev/null || { echo "$name: installing ${missing[*]} needs root or password-less sudo"; return 1; }
    sudo="sudo -n"
  fi
  local log
  log=$(mktemp)
  echo "$name: updating the package lists"
  if ! $sudo apt-get -o DPkg::Lock::Timeout=300 update >"$log" 2>&1; then
    cat "$log"
    rm -f "$log"
    echo "$name: apt-get update failed"
    return 1
  fi
  echo "$name: installing ${missing[*]}"
  if ! $sudo env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=300 install -y \
    --no-install-recommends "${missing[@]}" >"$log" 2>&1; then
    cat "$log"
    rm -f "$log"
    echo "$name: apt-get install failed"
    return 1
  fi
  rm -f "$log"
  echo "$name: installed ${#missing[@]} packages"
}

passed=0
failed=0
skipped=0

# count_ctest DIR [CTEST_ARGS...]: runs one build's tests and adds the counts
# to $passed, $failed and $skipped (a test that skipped itself, which ctest
# lists as not run); a run without a summary counts as one failure.
count_ctest() {
  local dir=$1 log total fails skips
  shift
  log=$(mktemp)
  ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" --timeout 300 "$@" | tee "$log" || true
  total=$(sed -n 's/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\2/p' "$log")
  fails=$(sed -n 's/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\1/p' "$log")
  skips=$(grep -c '^[[:space:]]*[0-9]* - .* (Skipped)$' "$log" || true)
  rm -f "$log"
  if [ -z "$total" ]; then
    echo "no test summary from $dir"
    failed=$((failed + 1))
    return
  fi
  passed=$((passed + total - fails - skips))
  failed=$((failed + fails))
  skipped=$((skipped + skips))
}

# count_check NAME COMMAND...: one check beside the tests, counted with them.
count_check() {
  local name=$1
  shift
  if "$@"; then
    echo "check: $name: ok"
    passed=$((passed + 1))
  else
    echo "check: $name: FAILED"
    failed=$((failed + 1))
  fi
}
