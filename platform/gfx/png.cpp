#include "platform/gfx/png.h"

#include <png.h>

#include <string>

#include "platform/os/textfile.h"

namespace gfx {

bool EncodePng(const Surface& surface, std::vector<std::uint8_t>& png) {
  if (surface.width <= 0 || surface.height <= 0 ||
      surface.pixels.size() < std::size_t(surface.width) * std::size_t(surface.height)) {
    return false;
  }
  std::vector<std::uint8_t> rgb(std::size_t(surface.width) * surface.height * 3);
  for (std::size_t i = 0, n = std::size_t(surface.width) * surface.height; i < n; ++i) {
    const std::uint32_t p = surface.pixels[i];
    rgb[3 * i] = std::uint8_t(p >> 16);
    rgb[3 * i + 1] = std::uint8_t(p >> 8);
    rgb[3 * i + 2] = std::uint8_t(p);
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = png_uint_32(surface.width);
  image.height = png_uint_32(surface.height);
  image.format = PNG_FORMAT_RGB;
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, rgb.data(), 0, nullptr) || size == 0) {
    png_image_free(&image);
    return false;
  }
  png.resize(size);
  const bool ok = png_image_write_to_memory(&image, png.data(), &size, 0, rgb.data(), 0, nullptr) != 0;
  png_image_free(&image);
  png.resize(ok ? size : 0);
  return ok;
}

bool DecodePng(const std::uint8_t* data, std::size_t size, Surface& surface) {
  if (data == nullptr || size == 0) return false;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, data, size)) {
    png_image_free(&image);
    return false;
  }
  if (image.width == 0 || image.height == 0 || image.width > png_uint_32(kMaxPngSide) ||
      image.height > png_uint_32(kMaxPngSide) || std::size_t(image.width) * image.height > kMaxPngPixels) {
    png_image_free(&image);
    return false;
  }
  image.format = PNG_FORMAT_RGB;
  std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(image));
  // Transparent parts show over black, as the surface has no alpha.
  png_color black{0, 0, 0};
  if (!png_image_finish_read(&image, &black, rgb.data(), 0, nullptr)) {
    png_image_free(&image);
    return false;
  }
  Surface out(int(image.width), int(image.height));
  for (std::size_t i = 0; i < out.pixels.size(); ++i) {
    out.pixels[i] = (std::uint32_t(rgb[3 * i]) << 16) | (std::uint32_t(rgb[3 * i + 1]) << 8) | rgb[3 * i + 2];
  }
  surface = std::move(out);
  return true;
}

int SavePng(std::string_view path, const Surface& surface) {
  std::vector<std::uint8_t> png;
  if (!EncodePng(surface, png)) return 0;
  os::BinaryWriter out;
  if (!out.Open(path)) return 0;
  out.Write(png.data(), png.size());
  return out.Commit();
}

int LoadPng(std::string_view path, Surface& surface) {
  std::string bytes;
  if (!os::ReadWholeFile(path, bytes)) return 0;
  return DecodePng(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), surface) ? 1 : 0;
}

}  // namespace gfx
