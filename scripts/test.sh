#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite: the core (plain and
# sanitized), then every shell and check whose stage script exists. Each stage installs
# only its own packages.
set -uo pipefail
cd "$(dirname "$0")/.."

# Stages may be named to run only those (scripts/test.sh core qt); by default, all but the
# web element's, which is a stage of its own with its own packages (scripts/test.sh web).
# The python stage builds the Python module and runs its pytest suite; the soak stage runs
# the concurrency tests under ThreadSanitizer.
stages=(core qt win32 hardening python soak)
[ $# -gt 0 ] && stages=("$@")
passed=0
failed=0
for stage in "${stages[@]}"; do
  script=".ci/$stage.sh"
  [ -f "$script" ] || continue
  echo "=== $stage"
  if bash "$script"; then
    passed=$((passed + 1))
  else
    echo "=== $stage FAILED"
    failed=$((failed + 1))
  fi
done
echo "stages: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
