// Surfaces as PNG pictures: snapshots, clipboard images and the references tests compare with.
// Written as 8-bit RGB without time stamps, so the same surface always gives the same bytes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/gfx/surface.h"

namespace gfx {

// Pictures larger than this are refused when read (a damaged header must not allocate gigabytes).
constexpr int kMaxPngSide = 32768;
constexpr std::size_t kMaxPngPixels = std::size_t(1) << 28;

bool EncodePng(const Surface& surface, std::vector<std::uint8_t>& png);
// Any PNG (grey, palette, alpha, 16-bit) to 0x00RRGGBB; alpha is dropped. False, leaving `surface`
// as it was, for data that is not a readable PNG or is too large.
bool DecodePng(const std::uint8_t* data, std::size_t size, Surface& surface);

// Through the path resolver; a replaced file is written to a temporary file first. 1 or 0.
int SavePng(std::string_view path, const Surface& surface);
int LoadPng(std::string_view path, Surface& surface);

}  // namespace gfx
