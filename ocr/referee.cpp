// The rules referee: a first reading that repeats a digit is compared with three
// other readings of the picture, judged by the rules the picture shows.
#include <algorithm>
#include <cstdio>

#include "ocr/ocr.h"

char const* const ocr_alternative_names[3] = {"radial corners", "bright-region corners", "other polarity"};

void ocr_alternative_readings(unsigned char const* grey, int width, int height, int readings[3][81]) {
  for (int k = 0; k < 3; ++k) std::fill_n(readings[k], 81, 0);
  if (!grey || width < ocr_min_side || height < ocr_min_side || ocr_picture_bytes(width, height, 1) == 0) return;
  int const S = ocr_warp_size(width, height);
  for (int k = 0; k < 2; ++k) {
    OcrQuad quad;
    bool const found = k == 0 ? ocr_radial_quad(grey, width, height, quad) : ocr_find_quad(grey, width, height, quad, false);
    OcrImage warped;
    int const comb = found ? ocr_warp_comb(grey, width, height, quad, S, warped) : -1;
    if (comb < 4) {
      if (ocr_debug) std::printf("referee: %s refused (comb=%d)\n", ocr_alternative_names[k], comb);
      continue;
    }
    ocr_read_digits(warped.data(), S, S, readings[k]);
  }
  OcrImage const negative = ocr_inverted(OcrImage(grey, grey + static_cast<std::size_t>(width) * height));
  ocr_read_digits(negative.data(), width, height, readings[2]);
}

int ocr_choose_reading(int const* digits, int const readings[3][81], int const* regions, bool diagonals) {
  if (!digits || !readings) return -1;
  int best = ocr_unit_conflicts(digits, regions, diagonals);
  int const first_count = ocr_digit_count(digits);
  int choice = -1;
  for (int k = 0; k < 3; ++k) {
    int const c = ocr_unit_conflicts(readings[k], regions, diagonals), n = ocr_digit_count(readings[k]);
    if (ocr_debug) std::printf("referee: %s repeats %d, digits %d\n", ocr_alternative_names[k], c, n);
    if (n >= first_count && c < best) {
      choice = k;
      best = c;
    }
  }
  return choice;
}

void ocr_referee(unsigned char const* pixels, int width, int height, int bpp, unsigned char const* grey, int* digits,
                 OcrPictureRules const* known_rules) {
  if (!digits) return;
  int const repeats = ocr_unit_conflicts(digits, nullptr, false);
  if (repeats == 0) return;
  if (ocr_debug) std::printf("referee: first reading repeats %d, digits %d\n", repeats, ocr_digit_count(digits));
  // Under known rules that the reading keeps, no alternative can repeat fewer: the
  // outcome is the first reading, whatever the alternatives read.
  if (known_rules && ocr_unit_conflicts(digits, known_rules->regions, known_rules->diagonals) == 0) {
    if (ocr_debug) std::printf("referee: first reading kept\n");
    return;
  }
  int readings[3][81];
  ocr_alternative_readings(grey, width, height, readings);
  int k = ocr_choose_reading(digits, readings, nullptr, false);
  if (k >= 0) {
    int regions[81];
    OcrPictureRules const rules = known_rules ? *known_rules : ocr_picture_rules(pixels, width, height, bpp, regions);
    k = ocr_choose_reading(digits, readings, rules.regions, rules.diagonals);
  }
  if (ocr_debug) std::printf("referee: %s\n", k >= 0 ? ocr_alternative_names[k] : "first reading kept");
  if (k >= 0) std::copy_n(readings[k], 81, digits);
}
