# The two commands of the README's quick start, `make fuzz` and the Windows build.
.PHONY: run test fuzz windows

# The panel when a desktop is there; without one, the command line's quick test of this directory.
run:
	@scripts/setup.sh
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  build/app/korvanel; \
	else \
	  echo "No display (DISPLAY and WAYLAND_DISPLAY are empty): running the command line's quick test instead."; \
	  build/app/korvanel-cli --drive . --length 0; \
	fi

# The suite as built for use, then again built with AddressSanitizer and UndefinedBehaviorSanitizer
# (clang), where every fuzzer also runs for a few seconds; then the Windows build's tests under Wine
# (skipped when the cross toolchain is missing).
test:
	@scripts/setup.sh
	cd build && ctest --output-on-failure --timeout 900
	@scripts/build_sanitized.sh
	cd build-sanitize && ctest --output-on-failure --timeout 900
	@status=0; scripts/build_windows.sh --if-available || status=$$?; \
	if [ $$status -eq 0 ]; then cd build-windows && ctest --output-on-failure --timeout 900; \
	elif [ $$status -ne 77 ]; then exit $$status; fi

# Each fuzzer for a minute; what they find lands in build-sanitize/fuzz-findings/.
fuzz:
	@scripts/setup.sh --deps-only
	@scripts/build_sanitized.sh
	cd build-sanitize && KORVANEL_FUZZ_SECONDS=60 ctest --output-on-failure -L fuzz

windows:
	@scripts/setup.sh
	@scripts/build_windows.sh
