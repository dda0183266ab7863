// nonet ocr, run as a program: honest failures, photos turned by the camera (EXIF)
// or by hand, and the JSON record of a reading.
#include <gtest/gtest.h>

#include <stb/stb_image.h>
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include <string>
#include <vector>

#include "tests/cli_run.h"

using cli_run::Result;
using cli_run::run_args;

namespace {

struct Image {
  int width = 0, height = 0, channels = 0;
  std::vector<unsigned char> pixels;
};

Image load(std::string const& path) {
  Image im;
  unsigned char* data = stbi_load(path.c_str(), &im.width, &im.height, &im.channels, 0);
  if (data) im.pixels.assign(data, data + static_cast<size_t>(im.width) * im.height * im.channels);
  stbi_image_free(data);
  return im;
}

// The picture turned a quarter clockwise.
Image quarter_turn(Image const& in) {
  Image out{in.height, in.width, in.channels, std::vector<unsigned char>(in.pixels.size())};
  for (int y = 0; y < in.height; ++y)
    for (int x = 0; x < in.width; ++x)
      for (int k = 0; k < in.channels; ++k)
        out.pixels[(static_cast<size_t>(x) * out.width + (in.height - 1 - y)) * in.channels + k] =
            in.pixels[(static_cast<size_t>(y) * in.width + x) * in.channels + k];
  return out;
}

Image turned(Image im, int quarters) {
  for (int q = 0; q < quarters; ++q) im = quarter_turn(im);
  return im;
}

void write_png(std::string const& path, Image const& im) {
  stbi_write_png(path.c_str(), im.width, im.height, im.channels, im.pixels.data(), im.width * im.channels);
}

void append(std::vector<unsigned char>* out, void const* data, int size) {
  auto const* p = static_cast<unsigned char const*>(data);
  out->insert(out->end(), p, p + size);
}

// A JPEG with an EXIF block that records orientation (big-endian TIFF, one entry).
void write_jpeg_with_orientation(std::string const& path, Image const& im, int orientation) {
  std::vector<unsigned char> jpeg;
  stbi_write_jpg_to_func([](void* out, void* data, int size) { append(static_cast<std::vector<unsigned char>*>(out), data, size); },
                         &jpeg, im.width, im.height, im.channels, im.pixels.data(), 95);
  unsigned char const exif[] = {0xFF, 0xE1, 0x00, 0x22, 'E', 'x', 'i', 'f', 0, 0,  // APP1, 34 bytes
                                'M', 'M', 0x00, 0x2A, 0x00, 0x00, 0x00, 0x08,      // TIFF header, IFD at 8
                                0x00, 0x01,                                        // one entry
                                0x01, 0x12, 0x00, 0x03, 0x00, 0x00, 0x00, 0x01,    // orientation, SHORT, 1
                                0x00, static_cast<unsigned char>(orientation), 0x00, 0x00,
                                0x00, 0x00, 0x00, 0x00};  // no next IFD
  jpeg.insert(jpeg.begin() + 2, exif, exif + sizeof exif);
  cli_run::write_file(path, std::string(jpeg.begin(), jpeg.end()));
}

std::string truth_digits(std::string const& dat_path) {
  std::string const dat = cli_run::slurp(dat_path);
  std::string digits;
  std::size_t const start = dat.find('\n', dat.find('\n') + 1) + 1;
  for (std::size_t i = start; i < dat.size(); ++i)
    if (dat[i] >= '0' && dat[i] <= '9') digits += dat[i] == '0' ? '.' : dat[i];
  return digits;
}

std::string photo(std::string const& name) { return std::string(NONET_SOURCE_DIR) + "/tests/data/ocr/" + name; }

}  // namespace

TEST(CliOcr, ReadsPhotosTurnedByTheCameraOrByHand) {
  if (!cli_run::have_cli()) GTEST_SKIP() << "nonet tool not built";
  std::string const truth = truth_digits(photo("image1050.dat"));
  ASSERT_EQ(truth.size(), 81u);
  Image const upright = load(photo("image1050.jpg"));
  ASSERT_GT(upright.width, 0);
  Result const plain = run_args({"ocr", "-f", "json", photo("image1050.jpg")});
  ASSERT_EQ(plain.status, 0) << plain.err;
  EXPECT_NE(plain.out.find("\"turned\":0,"), std::string::npos) << plain.out;
  EXPECT_NE(plain.out.find("\"digits\":\"" + truth + "\""), std::string::npos) << plain.out;
  for (char const* field : {"\"consistent\":true", "\"solutions\":1", "\"proper\":true", "\"x\":false"})
    EXPECT_NE(plain.out.find(field), std::string::npos) << field << "\n" << plain.out;

  // Stored turned by 1, 2, 3 quarters clockwise: read after turning back.
  for (int quarters = 1; quarters < 4; ++quarters) {
    std::string const path = cli_run::scratch("turned.png");
    write_png(path, turned(upright, quarters));
    Result const r = run_args({"ocr", "-f", "json", path});
    EXPECT_EQ(r.status, 0) << quarters << ": " << r.err;
    EXPECT_NE(r.out.find("\"turned\":" + std::to_string(360 - 90 * quarters)), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"digits\":\"" + truth + "\""), std::string::npos) << quarters << ": " << r.out;
    EXPECT_EQ(run_args({"ocr", "-f", "line", path}).out, truth + "\n") << quarters;
    ::unlink(path.c_str());
  }
  // A phone's sideways picture: pixels stored a quarter anticlockwise, EXIF orientation 6
  // (turn clockwise to view). Honoured when loading, so no turn is needed.
  std::string const tagged = cli_run::scratch("tagged.jpg");
  write_jpeg_with_orientation(tagged, turned(upright, 3), 6);
  Result const r = run_args({"ocr", "-f", "json", tagged});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("\"turned\":0,"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\"digits\":\"" + truth + "\""), std::string::npos) << r.out;
  ::unlink(tagged.c_str());
}

TEST(CliOcr, PicturesWithoutAPuzzleFailHonestly) {
  if (!cli_run::have_cli()) GTEST_SKIP() << "nonet tool not built";
  Image noise{320, 240, 1, std::vector<unsigned char>(320 * 240)};
  uint32_t state = 99;
  for (auto& p : noise.pixels) p = static_cast<unsigned char>((state = state * 1664525u + 1013904223u) >> 24);
  Image const blank{320, 240, 1, std::vector<unsigned char>(320 * 240, 235)};
  for (auto const& [what, picture] : {std::pair{"noise", noise}, std::pair{"blank", blank}}) {
    std::string const path = cli_run::scratch(std::string(what) + ".png");
    write_png(path, picture);
    Result const text = run_args({"ocr", path});
    EXPECT_EQ(text.status, 1) << what;
    EXPECT_EQ(text.out, "") << what;
    EXPECT_EQ(text.err.rfind("nonet ocr: " + path + ": ", 0), 0u) << text.err;
    Result const json = run_args({"ocr", "-f", "json", path});
    EXPECT_EQ(json.status, 1) << what;
    EXPECT_NE(json.out.find("\"proper\":false"), std::string::npos) << json.out;
    Result const forced = run_args({"ocr", "--force", "-f", "line", path});
    EXPECT_EQ(forced.status, 0) << what;
    EXPECT_EQ(forced.out.find_first_not_of(".123456789"), 81u) << what << ": " << forced.out;
    ::unlink(path.c_str());
  }
  Result const missing = run_args({"ocr", "/nonexistent/missing.jpg"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "nonet ocr: /nonexistent/missing.jpg: No such file or directory\n");
  std::string const not_picture = cli_run::scratch("text.jpg");
  cli_run::write_file(not_picture, "hello\n");
  Result const text = run_args({"ocr", not_picture});
  EXPECT_EQ(text.status, 1);
  EXPECT_NE(text.err.find("not a picture nonet can read"), std::string::npos) << text.err;
  ::unlink(not_picture.c_str());
}
