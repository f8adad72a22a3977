#!/usr/bin/env bash
# Fuzzes the clipboard bitmap reader with libFuzzer under ASan and UBSan.
#
#   tools/fuzz.sh [runs] [seed corpus folder]
#
# runs: inputs to try, 1000000 unless given. The seed folder (the committed
# tests/fuzz/corpus/dib unless given) is only read; inputs the fuzzer finds
# interesting go to build/fuzz/corpus/dib and anything that fails to
# build/fuzz/crash-*. Installs clang and its libFuzzer runtime from Debian's
# packages when they are missing (as root); nothing else needs them.
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${1:-1000000}
seeds=${2:-tests/fuzz/corpus/dib}
out=build/fuzz
mkdir -p "$out/corpus/dib"

# clang alone cannot link a fuzzer: the runtime comes in libclang-rt-dev.
can_link_fuzzer() {
  command -v clang++ >/dev/null &&
    echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' |
      clang++ -x c++ -fsanitize=fuzzer - -o "$out/link_probe" 2>/dev/null
}
if ! can_link_fuzzer; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "clang with libFuzzer is missing: run as root or install clang libclang-rt-dev" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends clang libclang-rt-dev
  can_link_fuzzer || { echo "clang still cannot link a fuzzer" >&2; exit 1; }
fi

clang++ -std=c++20 -O1 -g -I. -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  imageio/dib.cpp tests/fuzz/dib_fuzz.cpp -o "$out/dib_fuzz"

start=$(date +%s)
"$out/dib_fuzz" -runs="$runs" -max_len=4096 -artifact_prefix="$out/" -print_final_stats=1 \
  "$out/corpus/dib" "$seeds"
echo "fuzz.sh: $runs inputs in $(( $(date +%s) - start )) s, no finding"
