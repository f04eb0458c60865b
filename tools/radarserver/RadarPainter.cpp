#include "RadarPainter.h"

#include <gif_lib.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <vector>

namespace {

constexpr int Background = 0;
constexpr int OutOfRange = 1;
constexpr int Ring = 2;
constexpr int FirstEcho = 3;
constexpr int EchoLevels = 13;

// Scope colours followed by the usual reflectivity scale, weakest echo first.
const GifColorType Palette[16] = {
    {0x10, 0x12, 0x18}, {0x04, 0x05, 0x08}, {0x5a, 0x5e, 0x66}, {0x04, 0xe9, 0xe7},
    {0x01, 0x9f, 0xf4}, {0x03, 0x00, 0xf4}, {0x02, 0xfd, 0x02}, {0x01, 0xc5, 0x01},
    {0x00, 0x8e, 0x00}, {0xfd, 0xf8, 0x02}, {0xe5, 0xbc, 0x00}, {0xfd, 0x95, 0x00},
    {0xfd, 0x00, 0x00}, {0xd4, 0x00, 0x00}, {0xbc, 0x00, 0x00}, {0xf8, 0x00, 0xfd},
};

// Stable across runs and platforms, unlike qHash.
quint64 fnv1a(const QByteArray &bytes)
{
    quint64 h = 14695981039346656037ull;
    for (char c : bytes) {
        h ^= static_cast<unsigned char>(c);
        h *= 1099511628211ull;
    }
    return h;
}

class Random {
public:
    explicit Random(quint64 seed) : m_state(seed) {}
    quint64 next()
    {
        quint64 z = (m_state += 0x9e3779b97f4a7c15ull);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
        return z ^ (z >> 31);
    }
    double uniform(double lo, double hi) { return lo + (hi - lo) * (next() >> 11) * 0x1.0p-53; }

private:
    quint64 m_state;
};

struct Blob {
    double x, y, radius, peak;
};

// Blob tracks belong to the site and product; only their position and
// strength depend on the generation, so consecutive pictures look related.
std::vector<Blob> blobsFor(quint64 seed, quint64 generation, int w, int h)
{
    Random rnd(seed);
    const int count = 8 + int(rnd.next() % 8);
    std::vector<Blob> blobs;
    for (int i = 0; i < count; ++i) {
        const double x0 = rnd.uniform(0, w), y0 = rnd.uniform(0, h);
        const double vx = rnd.uniform(-9, 9), vy = rnd.uniform(-9, 9);
        const double radius = rnd.uniform(0.04, 0.13) * std::min(w, h);
        const double phase = rnd.uniform(0, 6.283), rate = rnd.uniform(0.2, 0.7);
        const double g = double(generation);
        Blob b;
        b.x = std::fmod(x0 + vx * g + 1e6 * w, double(w));
        b.y = std::fmod(y0 + vy * g + 1e6 * h, double(h));
        b.radius = radius * (0.8 + 0.3 * std::sin(phase + rate * g * 0.7));
        b.peak = 0.55 + 0.5 * std::sin(phase + rate * g);
        blobs.push_back(b);
    }
    return blobs;
}

// Smooth noise on a coarse lattice; breaks the blobs into ragged cells.
class LatticeNoise {
public:
    LatticeNoise(quint64 seed, int w, int h, int cell)
        : m_cell(cell), m_columns(w / cell + 2), m_values(size_t(m_columns) * (h / cell + 2))
    {
        Random rnd(seed);
        for (double &v : m_values)
            v = rnd.uniform(0, 1);
    }
    double at(int x, int y) const
    {
        const int cx = x / m_cell, cy = y / m_cell;
        const double fx = double(x % m_cell) / m_cell, fy = double(y % m_cell) / m_cell;
        const auto v = [&](int i, int j) { return m_values[size_t(cy + j) * m_columns + cx + i]; };
        const double top = v(0, 0) + (v(1, 0) - v(0, 0)) * fx;
        const double bottom = v(0, 1) + (v(1, 1) - v(0, 1)) * fx;
        return top + (bottom - top) * fy;
    }

private:
    int m_cell;
    int m_columns;
    std::vector<double> m_values;
};

std::vector<GifByteType> drawScope(quint64 seed, quint64 generation, int w, int h)
{
    std::vector<double> field(size_t(w) * h, 0.0);
    for (const Blob &b : blobsFor(seed, generation, w, h)) {
        const int reach = int(b.radius * 2.5);
        const double inv = 1.0 / (b.radius * b.radius);
        for (int y = std::max(0, int(b.y) - reach); y < std::min(h, int(b.y) + reach); ++y)
            for (int x = std::max(0, int(b.x) - reach); x < std::min(w, int(b.x) + reach); ++x) {
                const double dx = x - b.x, dy = y - b.y;
                field[size_t(y) * w + x] += b.peak * std::exp(-(dx * dx + dy * dy) * inv);
            }
    }

    std::vector<GifByteType> pixels(field.size());
    Random speckle(seed ^ (generation * 0x2545f4914f6cdd1dull));
    const LatticeNoise cells(seed + generation, w, h, 18);
    const double cx = w / 2.0, cy = h / 2.0;
    const double range = std::min(w, h) / 2.0 - 4;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double dist = std::hypot(x - cx, y - cy);
            GifByteType &p = pixels[size_t(y) * w + x];
            if (dist > range) {
                p = OutOfRange;
                continue;
            }
            if (std::fmod(dist, range / 4) < 1.0 || std::fabs(x - cx) < 0.5 || std::fabs(y - cy) < 0.5) {
                p = Ring;
                continue;
            }
            // Speckle roughens the echo edges the way real returns look.
            double v = field[size_t(y) * w + x];
            if (v > 0.03)
                v = v * (0.6 + 0.7 * cells.at(x, y)) + speckle.uniform(-0.07, 0.07);
            const int level = int(v * 14) - 1;
            p = level < 0 ? Background : GifByteType(FirstEcho + std::min(level, EchoLevels - 1));
        }
    return pixels;
}

int appendToByteArray(GifFileType *gif, const GifByteType *data, int length)
{
    static_cast<QByteArray *>(gif->UserData)->append(reinterpret_cast<const char *>(data), length);
    return length;
}

QByteArray encodeGif(std::vector<GifByteType> &pixels, int w, int h, bool gif89)
{
    QByteArray out;
    int error = 0;
    GifFileType *gif = EGifOpen(&out, appendToByteArray, &error);
    if (!gif)
        throw std::runtime_error(GifErrorString(error));
    EGifSetGifVersion(gif, gif89);
    ColorMapObject *map = GifMakeMapObject(16, Palette);
    bool ok = map && EGifPutScreenDesc(gif, w, h, 8, Background, map) == GIF_OK &&
              EGifPutImageDesc(gif, 0, 0, w, h, false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < h; ++y)
        ok = EGifPutLine(gif, pixels.data() + size_t(y) * w, w) == GIF_OK;
    if (!ok)
        error = gif->Error;
    GifFreeMapObject(map);
    int closeError = 0;
    if (EGifCloseFile(gif, &closeError) != GIF_OK && ok) {
        ok = false;
        error = closeError;
    }
    if (!ok)
        throw std::runtime_error(GifErrorString(error));
    return out;
}

} // namespace

RadarPainter::RadarPainter(QSize size) : m_size(size) {}

QByteArray RadarPainter::paint(const QByteArray &key, quint64 generation, bool gif89) const
{
    const int w = m_size.width(), h = m_size.height();
    std::vector<GifByteType> pixels = drawScope(fnv1a(key), generation, w, h);
    return encodeGif(pixels, w, h, gif89);
}
