#!/bin/bash
# xvfb-run in a display of its own. "xvfb-run -a" searches for a free display from 99 upwards, so
# tests started together may settle on the same one, and the first to end then takes the other's
# display down. Each search starts at a random number instead.
exec xvfb-run -a -n $((100 + RANDOM % 3000)) "$@"
