# The README's quick start (make run, make test), the contributors' loop (make check), the Debian
# package, the fuzzers and the Windows build. Each installs only the Debian packages it needs
# (scripts/deps.txt) and says how long each phase took.
.PHONY: run test check package fuzz windows

MAKEFLAGS += --no-print-directory
PROGRAMS = korvanel korvanel-cli
PHASE = scripts/phase.sh
CTEST = ctest --output-on-failure --timeout 900

# The panel when a desktop is there; without one, the command line's quick test of this directory.
# Only the programs are built, not the tests.
run:
	@scripts/setup.sh --sets run --build $(PROGRAMS)
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  build/app/korvanel; \
	else \
	  echo "No display (DISPLAY and WAYLAND_DISPLAY are empty): running the command line's quick test instead."; \
	  build/app/korvanel-cli --drive . --length 0; \
	fi

# Everything, as CI runs it: the suite as built for use (with the package checks), then again built
# with AddressSanitizer and UndefinedBehaviorSanitizer (clang), where every fuzzer also runs for a
# few seconds; then the Windows build's tests under Wine (skipped when the cross toolchain is
# missing). Warnings are errors in all three builds.
test:
	@scripts/setup.sh --sets all --build all
	@$(PHASE) "Release suite" sh -c 'cd build && $(CTEST)'
	@$(PHASE) "Sanitizer build" scripts/build_sanitized.sh
	@$(PHASE) "Sanitizer suite" sh -c 'cd build-sanitize && $(CTEST)'
	@status=0; $(PHASE) "Windows build" scripts/build_windows.sh --if-available || status=$$?; \
	if [ $$status -eq 0 ]; then $(PHASE) "Windows suite under Wine" sh -c 'cd build-windows && $(CTEST)'; \
	elif [ $$status -ne 77 ]; then exit $$status; fi

# The contributors' loop: an incremental build and the release suite. Labels choose the tests
# (cmake/KorvanelTestLabels.cmake): SKIP leaves out, ONLY takes alone, e.g. `make check SKIP=root`,
# `make check ONLY=cli`, `make check SKIP='root|gui'`. ONLY=fuzz runs the fuzzers of the sanitizer
# build, ONLY=wine the Windows build's tests under Wine.
check:
ifeq ($(ONLY),fuzz)
	@scripts/setup.sh --sets "run test sanitize" --build none
	@$(PHASE) "Sanitizer build" scripts/build_sanitized.sh
	@$(PHASE) "Fuzzers" sh -c 'cd build-sanitize && $(CTEST) -L fuzz $(if $(SKIP),-LE "$(SKIP)")'
else ifeq ($(ONLY),wine)
	@scripts/setup.sh --sets "run test windows" --build none
	@$(PHASE) "Windows build" scripts/build_windows.sh
	@$(PHASE) "Windows suite under Wine" sh -c 'cd build-windows && $(CTEST) $(if $(SKIP),-LE "$(SKIP)")'
else
	@scripts/setup.sh --sets "run package test" --build all
	@$(PHASE) "Release suite" sh -c 'cd build && $(CTEST) $(if $(ONLY),-L "$(ONLY)") $(if $(SKIP),-LE "$(SKIP)")'
endif

# build/korvanel_<version>_amd64.deb
package:
	@scripts/setup.sh --sets "run package" --build $(PROGRAMS)
	@$(PHASE) "Packaging" sh -c 'cd build && cpack'
	@ls build/korvanel_*_amd64.deb

# Each fuzzer for a minute; what they find lands in build-sanitize/fuzz-findings/.
fuzz:
	@KORVANEL_FUZZ_SECONDS=60 $(MAKE) check ONLY=fuzz

windows:
	@scripts/setup.sh --sets "run windows" --build none
	@$(PHASE) "Windows build" scripts/build_windows.sh
