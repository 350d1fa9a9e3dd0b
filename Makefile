# The two commands of the README's quick start, and `make fuzz`.
.PHONY: run test fuzz

run:
	@scripts/setup.sh
	build/app/korvanel-cli --drive . --length 0

# The suite as built for use, then again built with AddressSanitizer and UndefinedBehaviorSanitizer
# (clang), where every fuzzer also runs for a few seconds.
test:
	@scripts/setup.sh
	cd build && ctest --output-on-failure --timeout 900
	@scripts/build_sanitized.sh
	cd build-sanitize && ctest --output-on-failure --timeout 900

# Each fuzzer for a minute; what they find lands in build-sanitize/fuzz-findings/.
fuzz:
	@scripts/setup.sh --deps-only
	@scripts/build_sanitized.sh
	cd build-sanitize && KORVANEL_FUZZ_SECONDS=60 ctest --output-on-failure -L fuzz
