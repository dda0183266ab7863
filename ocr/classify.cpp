// The digit recogniser: a 576-96-10 network (ReLU hidden layer, softmax output)
// whose weight table is compiled into the library from data/ocr/digit_weights.bin.
#include <cmath>
#include <cstdint>
#include <cstring>

#include "ocr/ocr.h"

extern unsigned char const nonet_ocr_digit_weights[];
extern std::size_t const nonet_ocr_digit_weights_size;

namespace {

constexpr int inputs = ocr_patch_size, hidden = 96, outputs = 10;
constexpr std::size_t table_floats = inputs * hidden + hidden + hidden * outputs + outputs;  // 56,362

struct Network {
  bool ready = false;
  float w1[inputs * hidden];
  float b1[hidden];
  float w2[hidden * outputs];
  float b2[outputs];
};

Network const& network() {
  static Network const net = [] {
    Network n{};
    if (nonet_ocr_digit_weights_size != table_floats * 4) return n;
    float* blocks[4] = {n.w1, n.b1, n.w2, n.b2};
    std::size_t const counts[4] = {inputs * hidden, hidden, hidden * outputs, outputs};
    unsigned char const* p = nonet_ocr_digit_weights;
    for (int b = 0; b < 4; ++b)
      for (std::size_t i = 0; i < counts[b]; ++i, p += 4) {
        // Little-endian on every host.
        std::uint32_t const bits = std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
                                   std::uint32_t{p[3]} << 24;
        float value;
        std::memcpy(&value, &bits, 4);
        blocks[b][i] = std::isfinite(value) ? value : 0.0f;
      }
    n.ready = true;
    return n;
  }();
  return net;
}

}  // namespace

bool ocr_network_ready() { return network().ready; }

int ocr_classify_patch(float const* patch, float& confidence) {
  confidence = 0;
  Network const& net = network();
  if (!patch || !net.ready) return 0;
  float h[hidden];
  std::memcpy(h, net.b1, sizeof h);
  for (int i = 0; i < inputs; ++i) {
    float const x = patch[i];
    if (x == 0.0f) continue;  // patches are mostly background
    float const* row = net.w1 + static_cast<std::size_t>(i) * hidden;
    for (int j = 0; j < hidden; ++j) h[j] += row[j] * x;
  }
  float out[outputs];
  std::memcpy(out, net.b2, sizeof out);
  for (int j = 0; j < hidden; ++j) {
    float const a = h[j] > 0 ? h[j] : 0.0f;
    if (a == 0.0f) continue;
    for (int k = 0; k < outputs; ++k) out[k] += net.w2[j * outputs + k] * a;
  }
  float top = out[0];
  for (int k = 1; k < outputs; ++k) top = out[k] > top ? out[k] : top;
  float p[outputs], sum = 0;
  for (int k = 0; k < outputs; ++k) sum += p[k] = std::exp(out[k] - top);
  int best = 0;
  for (int k = 1; k < outputs; ++k)
    if (p[k] > p[best]) best = k;
  confidence = p[best] / sum;
  return best;
}
