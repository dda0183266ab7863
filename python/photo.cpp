// read_photo: the engine's photo reader on a numpy picture or a picture file.
#include <algorithm>
#include <filesystem>

#include "api/engine_api.h"
#include "cli/photo_io.h"
#include "python/bindings.h"

namespace nonet_py {

namespace {

struct Picture {
  std::vector<unsigned char> pixels;
  int width = 0, height = 0, bpp = 0;
};

// A uint8 array (H, W) or (H, W, 1..4), row-major copy.
Picture picture_from_array(py::handle value) {
  auto const array = py::array::ensure(value);
  if (!array || !array.dtype().is(py::dtype::of<uint8_t>()))
    throw py::value_error("a picture array must hold uint8 samples");
  if (array.ndim() != 2 && array.ndim() != 3) throw py::value_error("a picture array has shape (H, W) or (H, W, C)");
  Picture p;
  p.height = static_cast<int>(array.shape(0));
  p.width = static_cast<int>(array.shape(1));
  p.bpp = array.ndim() == 3 ? static_cast<int>(array.shape(2)) : 1;
  if (p.bpp < 1 || p.bpp > 4) throw py::value_error("a picture has 1 to 4 channels");
  auto const bytes = py::array_t<uint8_t, py::array::c_style>::ensure(array);
  p.pixels.assign(bytes.data(), bytes.data() + bytes.size());
  return p;
}

// Pillow when it is installed (any format it reads, converted to RGB), else the engine's
// own decoder (JPEG, PNG, BMP, ...).
Picture picture_from_file(std::string const& path) {
  if (!std::filesystem::exists(path)) {
    PyErr_SetFromErrnoWithFilename(PyExc_FileNotFoundError, path.c_str());
    throw py::error_already_set();
  }
  py::object image_module;
  try {
    image_module = py::module_::import("PIL.Image");
  } catch (py::error_already_set const& e) {
    if (!e.matches(PyExc_ImportError)) throw;
  }
  if (image_module) {
    py::object const image = image_module.attr("open")(path).attr("convert")("RGB");
    return picture_from_array(py::module_::import("numpy").attr("asarray")(image, "uint8"));
  }
  std::string error;
  auto photo = load_photo(path, error);
  if (!photo) throw py::value_error(error);
  return Picture{std::move(photo->pixels), photo->width, photo->height, photo->bpp};
}

PyPuzzle read_photo(py::handle source) {
  py::module_ const os = py::module_::import("os");
  Picture const picture = py::isinstance(source, os.attr("PathLike")) || py::isinstance<py::str>(source)
                              ? picture_from_file(py::str(os.attr("fspath")(source)).cast<std::string>())
                              : picture_from_array(source);
  if (picture.width < 27 || picture.height < 27)
    throw py::value_error("a picture of " + std::to_string(picture.width) + "x" + std::to_string(picture.height) +
                          " is too small (sides must be at least 27)");
  Grid81 digits{};
  int box[4];
  bool located = false;
  {
    py::gil_scoped_release release;
    located = sudoku_ocr_locate(picture.pixels.data(), picture.width, picture.height, picture.bpp, box) == 1;
    sudoku_ocr_recognize(picture.pixels.data(), picture.width, picture.height, picture.bpp, digits.data());
  }
  bool const any_digit = std::any_of(digits.begin(), digits.end(), [](int d) { return d != 0; });
  if (!located && !any_digit) throw py::value_error("no puzzle grid found in the picture");
  return make_puzzle(digits, box_groups(), false, -1);
}

}  // namespace

void register_photo(py::module_& m) {
  m.def("read_photo", &read_photo, py::arg("source"),
        R"(Reads a printed puzzle from a photo: a file path (read with Pillow when it is
installed, else the engine's own decoder) or a uint8 array (H, W) grey or (H, W, 3|4)
RGB(A). Returns a Puzzle of the given digits read (its solution when unique). Raises
FileNotFoundError for a missing file, ValueError for an unusable picture or one in
which no grid and no digit was found.)");
}

}  // namespace nonet_py
