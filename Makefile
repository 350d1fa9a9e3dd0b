# The two commands of the README's quick start.
.PHONY: run test

run:
	@scripts/setup.sh
	build/app/korvanel-cli --drive . --length 0

test:
	@scripts/setup.sh
	cd build && ctest --output-on-failure --timeout 900
