#!/bin/bash
# The bounded fuzz run of the test command (scripts/test.sh runs every scripts/test-*.sh).
exec "$(dirname "$0")/fuzz.sh" "${BLEEP_FUZZ_SECONDS:-60}"
