#!/usr/bin/env bash
# Makes the compressed sound files of the decoder plug-in tests with the system's encoders, each
# beside the raw signed little-endian samples it was made from. Usage: make_decoder_sounds.sh DIR
set -euo pipefail
out=$1
mkdir -p "$out"
cd "$out"

# raw NAME BITS CHANNELS RATE SECONDS: a sweep per channel, each channel a little different.
raw() {
  local name=$1 bits=$2 channels=$3 rate=$4 seconds=$5 synth=()
  for c in $(seq "$channels"); do synth+=(sine "$((100 * c))-$((3000 + 200 * c))"); done
  sox -n -r "$rate" -c "$channels" -b "$bits" -e signed -t raw "$name.raw" \
    synth "$seconds" "${synth[@]}" gain -3
}

# flac_from NAME BITS CHANNELS RATE [flac options]
flac_from() {
  local name=$1 bits=$2 channels=$3 rate=$4
  shift 4
  flac -s -f --force-raw-format --endian=little --sign=signed --channels="$channels" \
    --bps="$bits" --sample-rate="$rate" --channel-map=none "$@" -o "$name.flac" "$name.raw"
}

raw pcm8_mono 8 1 8000 0.5
flac_from pcm8_mono 8 1 8000
raw pcm16_stereo 16 2 44100 2
flac_from pcm16_stereo 16 2 44100
cp pcm16_stereo.raw pcm16_no_seektable.raw
flac_from pcm16_no_seektable 16 2 44100 --no-seektable
raw pcm24_six 24 6 96000 0.3
flac_from pcm24_six 24 6 96000
raw pcm16_eight 16 8 22050 0.3
flac_from pcm16_eight 16 8 22050
# Encoded from a pipe, the stream does not tell its length.
flac -s -f --force-raw-format --endian=little --sign=signed --channels=2 --bps=16 \
  --sample-rate=44100 -c - < pcm16_stereo.raw > streamed.flac 2>/dev/null
# An ID3v2 tag in front of the stream.
id3v2 -t "Tagged" -a "Vesk" pcm8_mono.flac
# Half a file: its last frame is missing.
head -c "$(($(stat -c %s pcm16_stereo.flac) / 2))" pcm16_stereo.flac > truncated.flac

raw vorbis_stereo 16 2 44100 2
oggenc -Q -q 10 --raw --raw-bits=16 --raw-chan=2 --raw-rate=44100 --raw-endianness=0 \
  -o vorbis_stereo.ogg vorbis_stereo.raw
# A run of bytes a quarter into the file overwritten: decoding breaks there. The last 64 KiB,
# where the length is found, stay whole.
cp vorbis_stereo.ogg damaged.ogg
size=$(stat -c %s damaged.ogg)
head -c 4000 /dev/zero | tr '\0' '\125' |
  dd of=damaged.ogg bs=1 seek=$((size / 4)) conv=notrunc status=none
touch done
