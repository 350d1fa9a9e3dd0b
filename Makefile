# The two commands of the README's quick start.
.PHONY: run test

# The panel when a desktop is there; without one, the command line's quick test of this directory.
run:
	@scripts/setup.sh
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  build/app/korvanel; \
	else \
	  echo "No display (DISPLAY and WAYLAND_DISPLAY are empty): running the command line's quick test instead."; \
	  build/app/korvanel-cli --drive . --length 0; \
	fi

test:
	@scripts/setup.sh
	cd build && ctest --output-on-failure --timeout 900
