# The two commands of the README's quick start, and the Windows build.
.PHONY: run test windows

run:
	@scripts/setup.sh
	build/app/korvanel-cli --drive . --length 0

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
