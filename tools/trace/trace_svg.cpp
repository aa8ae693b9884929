// The level seen from above, X to the right and Z downwards, as the demo's
// camera shows it: W walks up the picture, S down, A left, D right.
#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <set>
#include <vector>

#include "trace_output.h"

namespace rayheight::trace {

namespace {

using Tarvex::TGLVECTOR;
using Tarvex::TQUAD;

const double SCALE = 30;  // pixels per world unit
const double MAP_LEFT = 60, MAP_TOP = 76;
const double WORLD_MIN = -10, WORLD_MAX = 10;
const double MAP_SIZE = (WORLD_MAX - WORLD_MIN) * SCALE;
const double LEGEND_LEFT = MAP_LEFT + MAP_SIZE + 40;
const double WIDTH = LEGEND_LEFT + 200, HEIGHT = MAP_TOP + MAP_SIZE + 50;
const double MAX_HEIGHT = 8;  // the upper platform; colours are scaled to it

double px(double x) { return MAP_LEFT + (x - WORLD_MIN) * SCALE; }
double py(double z) { return MAP_TOP + (z - WORLD_MIN) * SCALE; }

struct Rgb {
  double r, g, b;
};

Rgb mix(Rgb a, Rgb b, double t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }

std::string hex(Rgb c) {
  char buf[8];
  auto byte = [](double v) { return static_cast<int>(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
  std::snprintf(buf, sizeof buf, "#%02x%02x%02x", byte(c.r), byte(c.g), byte(c.b));
  return buf;
}

// Surfaces: pale sand on the ground to slate on the platform.
std::string surface_colour(double h) {
  const Rgb low{0.93, 0.90, 0.82}, high{0.45, 0.48, 0.58};
  return hex(mix(low, high, std::clamp(h / MAX_HEIGHT, 0.0, 1.0)));
}

// The path: a perceptually even scale from violet through teal to yellow.
const Rgb PATH_STOPS[] = {{0.267, 0.005, 0.329}, {0.231, 0.322, 0.545}, {0.129, 0.569, 0.549},
                          {0.369, 0.788, 0.384}, {0.992, 0.906, 0.145}};
std::string path_colour(double h) {
  const double t = std::clamp(h / MAX_HEIGHT, 0.0, 1.0) * 4;
  const int i = std::min(static_cast<int>(t), 3);
  return hex(mix(PATH_STOPS[i], PATH_STOPS[i + 1], t - i));
}

std::string num(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2f", v);
  std::string s = buf;
  while (s.back() == '0') s.pop_back();
  if (s.back() == '.') s.pop_back();
  return s == "-0" ? "0" : s;
}

std::string point(double x, double z) { return num(px(x)) + "," + num(py(z)); }

std::string xml_escape(const std::string& s) {
  std::string o;
  for (char c : s) {
    if (c == '&') o += "&amp;";
    else if (c == '<') o += "&lt;";
    else if (c == '>') o += "&gt;";
    else if (c == '"') o += "&quot;";
    else o += c;
  }
  return o;
}

// Outline order of a strip-ordered quad.
const TGLVECTOR* outline(const TQUAD& q, int k) {
  const TGLVECTOR* o[4] = {&q.P1, &q.P2, &q.P4, &q.P3};
  return o[k];
}

// Inside the convex outline, seen from above (either winding).
bool inside(const TQUAD& q, double x, double z) {
  int sign = 0;
  for (int k = 0; k < 4; ++k) {
    const TGLVECTOR* a = outline(q, k);
    const TGLVECTOR* b = outline(q, (k + 1) % 4);
    const double c = (b->X - a->X) * (z - a->Z) - (b->Z - a->Z) * (x - a->X);
    if (std::abs(c) < 1e-9) continue;
    const int s = c > 0 ? 1 : -1;
    if (sign != 0 && s != sign) return false;
    sign = s;
  }
  return true;
}

struct Writer {
  std::FILE* out;
  void operator()(const char* fmt, ...) __attribute__((format(printf, 2, 3))) {
    va_list ap;
    va_start(ap, fmt);
    std::vfprintf(out, fmt, ap);
    va_end(ap);
  }
};

// A point of a quad's outline seen from above, with its height.
struct Corner {
  double x, z, h;
};

// The part of a convex outline whose height lies in [lo, hi], each bound a
// straight line across it since the quad is flat.
std::vector<Corner> clip(std::vector<Corner> poly, double lo, double hi) {
  for (int side = 0; side < 2; ++side) {
    auto keep = [&](const Corner& c) { return side == 0 ? c.h >= lo : c.h <= hi; };
    const double bound = side == 0 ? lo : hi;
    std::vector<Corner> out;
    for (size_t k = 0; k < poly.size(); ++k) {
      const Corner& p = poly[k];
      const Corner& n = poly[(k + 1) % poly.size()];
      if (keep(p)) out.push_back(p);
      if (keep(p) != keep(n)) {
        const double t = (bound - p.h) / (n.h - p.h);
        out.push_back({p.x + (n.x - p.x) * t, p.z + (n.z - p.z) * t, bound});
      }
    }
    poly = out;
  }
  return poly;
}

void write_quads(Writer& w, const LevelView& level) {
  // Drawn in index order, so that a surface above another covers it, and a
  // little transparent, so that what lies beneath still shows. A ramp is
  // shaded in bands of its height rather than by a gradient, which not every
  // SVG renderer draws.
  w("<g id=\"level\" stroke-linejoin=\"round\">\n");
  for (int i = 0; i < 8; ++i) {
    const TQUAD& q = level.quads[i];
    std::vector<Corner> poly;
    double lo = q.P1.Y, hi = q.P1.Y;
    for (int k = 0; k < 4; ++k) {
      const TGLVECTOR* v = outline(q, k);
      poly.push_back({v->X, v->Z, v->Y});
      lo = std::min<double>(lo, v->Y);
      hi = std::max<double>(hi, v->Y);
    }
    std::string pts;
    for (int k = 0; k < 4; ++k) pts += (k ? " " : "") + point(outline(q, k)->X, outline(q, k)->Z);
    if (hi == lo) {
      w("<polygon id=\"quad%d\" points=\"%s\" fill=\"%s\" fill-opacity=\"0.85\" stroke=\"#55586a\"/>\n", i,
        pts.c_str(), surface_colour(lo).c_str());
      continue;
    }
    // Opaque bands that overlap a little, made transparent as one, so that
    // no seam shows between them.
    const int bands = std::max(4, static_cast<int>(std::lround((hi - lo) * 2)));
    const double step = (hi - lo) / bands;
    w("<g id=\"ramp%d\" opacity=\"0.85\">\n", i);
    for (int k = 0; k < bands; ++k) {
      const double b0 = lo + step * k;
      const double b1 = k + 1 == bands ? hi : b0 + step * 1.5;
      const std::vector<Corner> band = clip(poly, b0, b1);
      if (band.size() < 3) continue;
      std::string d;
      for (const Corner& c : band) d += (d.empty() ? "M" : " L") + point(c.x, c.z);
      w("<path d=\"%s Z\" fill=\"%s\" stroke=\"none\"/>\n", d.c_str(), surface_colour(b0 + step / 2).c_str());
    }
    w("</g>\n");
    w("<polygon id=\"quad%d\" points=\"%s\" fill=\"none\" stroke=\"#55586a\"/>\n", i, pts.c_str());
  }
  w("</g>\n");

  // Each surface named where it shows, beneath the surfaces drawn after it;
  // the names are written twice, a light halo under the letters.
  std::string labels;
  for (int i = 0; i < 8; ++i) {
    const TQUAD& q = level.quads[i];
    double sx = 0, sz = 0;
    int n = 0;
    for (double x = WORLD_MIN + 0.25; x < WORLD_MAX; x += 0.5)
      for (double z = WORLD_MIN + 0.25; z < WORLD_MAX; z += 0.5) {
        if (!inside(q, x, z)) continue;
        bool covered = false;
        for (int j = i + 1; j < 8 && !covered; ++j) covered = inside(level.quads[j], x, z);
        if (covered) continue;
        sx += x;
        sz += z;
        ++n;
      }
    if (n == 0) continue;
    float lo = q.P1.Y, hi = q.P1.Y;
    for (const TGLVECTOR& v : {q.P2, q.P3, q.P4}) lo = std::min(lo, v.Y), hi = std::max(hi, v.Y);
    const std::string name = lo < hi            ? "ramp " + float_text(lo) + "\u2013" + float_text(hi)
                             : i == 0           ? "ground " + float_text(lo)
                             : hi >= MAX_HEIGHT ? "platform " + float_text(hi)
                                                : "walkway " + float_text(hi);
    labels += "<text x=\"" + num(px(sx / n)) + "\" y=\"" + num(py(sz / n) + 4) + "\">" + std::to_string(i) + ": " +
              name + "</text>\n";
  }
  w("<g id=\"labels\" font-family=\"sans-serif\" font-size=\"12\" text-anchor=\"middle\">\n");
  w("<g fill=\"#ffffff\" stroke=\"#ffffff\" stroke-width=\"3\" stroke-linejoin=\"round\" opacity=\"0.6\">\n%s</g>\n",
    labels.c_str());
  w("<g fill=\"#3a3d4a\">\n%s</g>\n", labels.c_str());
  w("</g>\n");
}

void write_axes(Writer& w) {
  w("<g id=\"axes\" font-family=\"sans-serif\" font-size=\"11\" fill=\"#555\" stroke=\"#555\">\n");
  for (int t = -10; t <= 10; t += 5) {
    w("<line x1=\"%s\" y1=\"%s\" x2=\"%s\" y2=\"%s\"/>", num(px(t)).c_str(), num(py(WORLD_MAX)).c_str(),
      num(px(t)).c_str(), num(py(WORLD_MAX) + 5).c_str());
    w("<text x=\"%s\" y=\"%s\" stroke=\"none\" text-anchor=\"middle\">%d</text>\n", num(px(t)).c_str(),
      num(py(WORLD_MAX) + 18).c_str(), t);
    w("<line x1=\"%s\" y1=\"%s\" x2=\"%s\" y2=\"%s\"/>", num(px(WORLD_MIN) - 5).c_str(), num(py(t)).c_str(),
      num(px(WORLD_MIN)).c_str(), num(py(t)).c_str());
    w("<text x=\"%s\" y=\"%s\" stroke=\"none\" text-anchor=\"end\">%d</text>\n", num(px(WORLD_MIN) - 8).c_str(),
      num(py(t) + 4).c_str(), t);
  }
  w("<text x=\"%s\" y=\"%s\" stroke=\"none\" text-anchor=\"middle\">X \u2192</text>\n",
    num(px(WORLD_MAX) - 30).c_str(), num(py(WORLD_MAX) + 34).c_str());
  w("<text x=\"%s\" y=\"%s\" stroke=\"none\" text-anchor=\"middle\">Z \u2193</text>\n",
    num(px(WORLD_MIN) - 30).c_str(), num(py(WORLD_MAX) - 10).c_str());
  w("</g>\n");
}

void write_path(Writer& w, const std::vector<FrameRecord>& records, const LevelView& level) {
  // The whole path once as a light casing, so that every colour of the scale
  // stands out from the surfaces; then each stretch in its ground's colour.
  std::string pts = point(level.start_x, level.start_z);
  std::string last = pts;
  for (const FrameRecord& r : records) {
    const std::string p = point(r.column_x, r.column_z);
    if (p == last) continue;
    pts += " " + p;
    last = p;
  }
  w("<polyline id=\"path\" points=\"%s\" fill=\"none\" stroke=\"#ffffff\" stroke-width=\"6\" "
    "stroke-linejoin=\"round\" stroke-linecap=\"round\"/>\n",
    pts.c_str());

  w("<g id=\"path-height\" fill=\"none\" stroke-width=\"3\" stroke-linejoin=\"round\" stroke-linecap=\"round\">\n");
  std::string colour, d;
  std::string from = point(level.start_x, level.start_z);
  auto flush = [&] {
    if (!d.empty()) w("<path stroke=\"%s\" d=\"%s\"/>\n", colour.c_str(), d.c_str());
    d.clear();
  };
  for (const FrameRecord& r : records) {
    const std::string to = point(r.column_x, r.column_z);
    const std::string c = path_colour(r.ground.Y);
    if (c != colour) {
      flush();
      colour = c;
    }
    if (to != from || d.empty()) {
      if (d.empty()) d = "M" + from;
      d += " L" + to;
    }
    from = to;
  }
  flush();
  w("</g>\n");
}

void write_marks(Writer& w, const std::vector<FrameRecord>& records, const LevelView& level) {
  w("<g id=\"grass\" fill=\"#2f9a3c\" stroke=\"#17561f\" stroke-width=\"0.8\">\n");
  for (const TGLVECTOR& g : level.grass)
    w("<circle cx=\"%s\" cy=\"%s\" r=\"3.2\"/>\n", num(px(g.X)).c_str(), num(py(g.Z)).c_str());
  w("</g>\n");

  w("<g id=\"collisions\" stroke=\"#e4191b\" stroke-width=\"2\" stroke-linecap=\"round\">\n");
  std::set<std::string> seen;
  for (const FrameRecord& r : records) {
    if (!r.checkcoll || !seen.insert(point(r.column_x, r.column_z)).second) continue;
    const double x = px(r.column_x), y = py(r.column_z), s = 4.5;
    w("<path d=\"M%s,%s L%s,%s M%s,%s L%s,%s\"/>\n", num(x - s).c_str(), num(y - s).c_str(), num(x + s).c_str(),
      num(y + s).c_str(), num(x - s).c_str(), num(y + s).c_str(), num(x + s).c_str(), num(y - s).c_str());
  }
  w("</g>\n");

  const double sx = px(level.start_x), sy = py(level.start_z);
  w("<g id=\"start\"><circle cx=\"%s\" cy=\"%s\" r=\"6.5\" fill=\"#ffffff\" stroke=\"#1c1c24\" stroke-width=\"2\"/>"
    "</g>\n",
    num(sx).c_str(), num(sy).c_str());
  if (!records.empty()) {
    const FrameRecord& e = records.back();
    const double ex = px(e.column_x), ey = py(e.column_z);
    w("<g id=\"end\"><rect x=\"%s\" y=\"%s\" width=\"11\" height=\"11\" fill=\"#1c1c24\" stroke=\"#ffffff\" "
      "stroke-width=\"1.5\"/></g>\n",
      num(ex - 5.5).c_str(), num(ey - 5.5).c_str());
  }
}

void write_legend(Writer& w) {
  const double x = LEGEND_LEFT, top = MAP_TOP;
  w("<g id=\"legend\" font-family=\"sans-serif\" font-size=\"12\" fill=\"#222\">\n");
  w("<text x=\"%s\" y=\"%s\" font-weight=\"bold\">Path: ground height</text>\n", num(x).c_str(), num(top).c_str());
  const double barTop = top + 14, barH = 160;
  const int steps = 32;
  for (int k = 0; k < steps; ++k) {
    const double h = MAX_HEIGHT * (k + 0.5) / steps;
    const double y1 = barTop + barH * (1 - static_cast<double>(k + 1) / steps);
    w("<rect x=\"%s\" y=\"%s\" width=\"18\" height=\"%s\" fill=\"%s\" stroke=\"none\"/>\n", num(x).c_str(), num(y1).c_str(),
      num(barH / steps + (k > 0 ? 0.5 : 0)).c_str(), path_colour(h).c_str());
  }
  w("<rect x=\"%s\" y=\"%s\" width=\"18\" height=\"%s\" fill=\"none\" stroke=\"#1c1c24\"/>\n", num(x).c_str(),
    num(barTop).c_str(), num(barH).c_str());
  for (int h = 0; h <= 8; h += 2) {
    const double y = barTop + barH * (1 - h / MAX_HEIGHT);
    w("<line x1=\"%s\" y1=\"%s\" x2=\"%s\" y2=\"%s\" stroke=\"#1c1c24\"/><text x=\"%s\" y=\"%s\">%d</text>\n",
      num(x + 18).c_str(), num(y).c_str(), num(x + 23).c_str(), num(y).c_str(), num(x + 27).c_str(),
      num(y + 4).c_str(), h);
  }

  double y = barTop + barH + 34;
  w("<text x=\"%s\" y=\"%s\" font-weight=\"bold\">Surfaces</text>\n", num(x).c_str(), num(y).c_str());
  const struct {
    double height;
    const char* text;
  } swatches[] = {{0, "ground, height 0"}, {4, "walkway, height 4"}, {8, "platform, height 8"}, {-1, "ramp, low to high"}};
  for (const auto& s : swatches) {
    y += 20;
    if (s.height < 0) {
      w("<g opacity=\"0.85\">");
      for (int k = 0; k < 8; ++k)
        w("<rect x=\"%s\" y=\"%s\" width=\"%s\" height=\"14\" fill=\"%s\" stroke=\"none\"/>", num(x + 26.0 * k / 8).c_str(),
          num(y - 11).c_str(), num(26.0 / 8 + (k < 7 ? 0.3 : 0)).c_str(), surface_colour(MAX_HEIGHT * (k + 0.5) / 8).c_str());
      w("</g>");
      w("<rect x=\"%s\" y=\"%s\" width=\"26\" height=\"14\" fill=\"none\" stroke=\"#55586a\"/>", num(x).c_str(),
        num(y - 11).c_str());
    } else {
      w("<rect x=\"%s\" y=\"%s\" width=\"26\" height=\"14\" fill=\"%s\" fill-opacity=\"0.85\" stroke=\"#55586a\"/>",
        num(x).c_str(), num(y - 11).c_str(), surface_colour(s.height).c_str());
    }
    w("<text x=\"%s\" y=\"%s\">%s</text>\n", num(x + 34).c_str(), num(y).c_str(), s.text);
  }

  y += 34;
  w("<text x=\"%s\" y=\"%s\" font-weight=\"bold\">Marks</text>\n", num(x).c_str(), num(y).c_str());
  y += 20;
  w("<circle cx=\"%s\" cy=\"%s\" r=\"6.5\" fill=\"#ffffff\" stroke=\"#1c1c24\" stroke-width=\"2\"/>"
    "<text x=\"%s\" y=\"%s\">start</text>\n",
    num(x + 13).c_str(), num(y - 4).c_str(), num(x + 34).c_str(), num(y).c_str());
  y += 20;
  w("<rect x=\"%s\" y=\"%s\" width=\"11\" height=\"11\" fill=\"#1c1c24\"/><text x=\"%s\" y=\"%s\">end</text>\n",
    num(x + 7.5).c_str(), num(y - 9.5).c_str(), num(x + 34).c_str(), num(y).c_str());
  y += 20;
  w("<path d=\"M%s,%s L%s,%s M%s,%s L%s,%s\" stroke=\"#e4191b\" stroke-width=\"2\" stroke-linecap=\"round\"/>"
    "<text x=\"%s\" y=\"%s\">head bump (CHECKCOLL)</text>\n",
    num(x + 8.5).c_str(), num(y - 8.5).c_str(), num(x + 17.5).c_str(), num(y + 0.5).c_str(), num(x + 8.5).c_str(),
    num(y + 0.5).c_str(), num(x + 17.5).c_str(), num(y - 8.5).c_str(), num(x + 34).c_str(), num(y).c_str());
  y += 20;
  w("<circle cx=\"%s\" cy=\"%s\" r=\"3.2\" fill=\"#2f9a3c\" stroke=\"#17561f\" stroke-width=\"0.8\"/>"
    "<text x=\"%s\" y=\"%s\">grass</text>\n",
    num(x + 13).c_str(), num(y - 4).c_str(), num(x + 34).c_str(), num(y).c_str());
  w("</g>\n");
}

}  // namespace

bool write_svg(std::FILE* out, const std::vector<FrameRecord>& records, const LevelView& level,
               const std::string& title) {
  Writer w{out};
  w("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%s\" height=\"%s\" viewBox=\"0 0 %s %s\">\n",
    num(WIDTH).c_str(), num(HEIGHT).c_str(), num(WIDTH).c_str(), num(HEIGHT).c_str());
  w("<rect width=\"100%%\" height=\"100%%\" fill=\"#ffffff\"/>\n");

  std::string shown = title;
  if (shown.size() > 90) shown = shown.substr(0, 87) + "...";
  w("<text x=\"%s\" y=\"28\" font-family=\"sans-serif\" font-size=\"17\" font-weight=\"bold\" fill=\"#111\">"
    "%s</text>\n",
    num(MAP_LEFT).c_str(), xml_escape(shown).c_str());
  int64_t bumps = 0;
  for (const FrameRecord& r : records) bumps += r.checkcoll;
  std::string sub = std::to_string(records.size()) + (records.size() == 1 ? " frame" : " frames");
  if (!records.empty()) {
    const FrameRecord& e = records.back();
    sub += "; ends at X " + num(e.column_x) + ", Z " + num(e.column_z) + " on height " + num(e.ground.Y);
  }
  sub += "; " + std::to_string(bumps) + (bumps == 1 ? " frame" : " frames") + " with a head bump";
  w("<text x=\"%s\" y=\"50\" font-family=\"sans-serif\" font-size=\"12.5\" fill=\"#444\">%s</text>\n",
    num(MAP_LEFT).c_str(), xml_escape(sub).c_str());

  write_quads(w, level);
  write_axes(w);
  write_path(w, records, level);
  write_marks(w, records, level);
  write_legend(w);
  w("</svg>\n");
  return std::fflush(out) == 0 && !std::ferror(out);
}

}  // namespace rayheight::trace
