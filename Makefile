# The two commands of the README's quick start, and the Windows build.
.PHONY: run test windows

# The panel when a desktop is there; without one, the command line's quick test of this directory.
run:
	@scripts/setup.sh
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  build/app/korvanel; \
	else \
	  echo "No display (DISPLAY and WAYLAND_DISPLAY are empty): running the command line's quick test instead."; \
	  build/app/korvanel-cli --drive . --length 0; \
	fi

# Linux tests, then the Windows build's tests under Wine (skipped when the cross toolchain is missing).
test:
	@scripts/setup.sh
	cd build && ctest --output-on-failure --timeout 900
	@status=0; scripts/build_windows.sh --if-available || status=$$?; \
	if [ $$status -eq 0 ]; then cd build-windows && ctest --output-on-failure --timeout 900; \
	elif [ $$status -ne 77 ]; then exit $$status; fi

windows:
	@scripts/setup.sh
	@scripts/build_windows.sh
