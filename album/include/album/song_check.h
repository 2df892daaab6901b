#pragma once
// Whether a song file is MPEG audio, which the packager checks before a song goes into an
// album: a file of another kind (lyrics or a WAV renamed ".mp3") would build and fail only
// when played. Only frame headers are read; nothing is decoded.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>

#include "platform/result.h"

namespace album {

// How far after any ID3v2 tag the first frame may start.
inline constexpr std::size_t kMpegSearchBytes = 64 << 10;

// The length of the ID3v2 tag that `bytes` starts with (its header, body and any footer), or
// 0 when `bytes` does not start with one. Needs the first 10 bytes of the file.
std::int64_t Id3v2TagLength(std::span<const std::byte> bytes);

// True when `bytes` holds three MPEG audio frame headers (MPEG 1, 2 or 2.5, layer I, II or
// III) each where the frame before it ends, the first starting within kMpegSearchBytes of the
// start. `bytes` is what follows any ID3v2 tag; a frame of free-format bit rate, whose length
// no header tells, does not count.
bool HasMpegAudioFrames(std::span<const std::byte> bytes);

// Reads the start of the song at `path` (never more than some 74 KiB past its ID3v2 tag) and
// checks it with HasMpegAudioFrames: NotMpegAudio naming the file and `slot` when it fails,
// the error of opening or reading when the file cannot be read.
platform::Status CheckSongFile(const std::filesystem::path& path, int slot);

}  // namespace album
