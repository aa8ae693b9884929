// The level seen from above, X to the right and Z downwards, as the demo's
// camera shows it: W walks up the picture, S down, A left, D right.
#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <set>

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

void write_quads(Writer& w, const LevelView& level) {
  // A flat quad's height over X and Z is a plane; a ramp is shaded along its
  // slope from its lowest corner to where it reaches its highest.
  std::string fills[8];
  w("<defs>\n");
  for (int i = 0; i < 8; ++i) {
    const TQUAD& q = level.quads[i];
    const TGLVECTOR c[4] = {q.P1, q.P2, q.P3, q.P4};
    const TGLVECTOR* lo = &c[0];
    const TGLVECTOR* hi = &c[0];
    for (const TGLVECTOR& v : c) {
      if (v.Y < lo->Y) lo = &v;
      if (v.Y > hi->Y) hi = &v;
    }
    std::string& fill = fills[i];
    if (hi->Y > lo->Y) {
      // Plane through corners 1, 2, 3: y = a x + b z + d.
      const double ux = c[1].X - c[0].X, uy = c[1].Y - c[0].Y, uz = c[1].Z - c[0].Z;
      const double vx = c[2].X - c[0].X, vy = c[2].Y - c[0].Y, vz = c[2].Z - c[0].Z;
      const double nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
      const double a = -nx / ny, b = -nz / ny;
      const double g2 = a * a + b * b;
      const double rise = hi->Y - lo->Y;
      const double x2 = lo->X + rise * a / g2, z2 = lo->Z + rise * b / g2;
      w("<linearGradient id=\"slope%d\" gradientUnits=\"userSpaceOnUse\" x1=\"%s\" y1=\"%s\" x2=\"%s\" y2=\"%s\">"
        "<stop offset=\"0\" stop-color=\"%s\"/><stop offset=\"1\" stop-color=\"%s\"/></linearGradient>\n",
        i, num(px(lo->X)).c_str(), num(py(lo->Z)).c_str(), num(px(x2)).c_str(), num(py(z2)).c_str(),
        surface_colour(lo->Y).c_str(), surface_colour(hi->Y).c_str());
      fill = "url(#slope" + std::to_string(i) + ")";
    } else {
      fill = surface_colour(lo->Y);
    }
  }
  w("</defs>\n");
  w("<g id=\"level\" stroke=\"#55586a\" stroke-width=\"1\" stroke-linejoin=\"round\">\n");
  for (int i = 0; i < 8; ++i) {
    const TQUAD& q = level.quads[i];
    std::string pts;
    for (int k = 0; k < 4; ++k) pts += (k ? " " : "") + point(outline(q, k)->X, outline(q, k)->Z);
    w("<polygon id=\"quad%d\" points=\"%s\" fill=\"%s\" fill-opacity=\"0.85\"/>\n", i, pts.c_str(), fills[i].c_str());
  }
  w("</g>\n");

  // Each surface named where it shows, beneath the surfaces drawn after it.
  w("<g id=\"labels\" font-family=\"sans-serif\" font-size=\"12\" fill=\"#3a3d4a\" text-anchor=\"middle\" "
    "stroke=\"#ffffff\" stroke-width=\"3\" stroke-opacity=\"0.7\" paint-order=\"stroke\">\n");
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
    std::string name = lo < hi                     ? "ramp " + float_text(lo) + "\u2013" + float_text(hi)
                       : i == 0                    ? "ground " + float_text(lo)
                       : hi >= MAX_HEIGHT          ? "platform " + float_text(hi)
                                                   : "walkway " + float_text(hi);
    w("<text x=\"%s\" y=\"%s\">%d: %s</text>\n", num(px(sx / n)).c_str(), num(py(sz / n) + 4).c_str(), i,
      name.c_str());
  }
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
  w("<defs><linearGradient id=\"pathscale\" x1=\"0\" y1=\"1\" x2=\"0\" y2=\"0\">");
  for (int k = 0; k <= 8; ++k)
    w("<stop offset=\"%s\" stop-color=\"%s\"/>", num(k / 8.0).c_str(), path_colour(k).c_str());
  w("</linearGradient></defs>\n");
  const double barTop = top + 14, barH = 160;
  w("<rect x=\"%s\" y=\"%s\" width=\"18\" height=\"%s\" fill=\"url(#pathscale)\" stroke=\"#1c1c24\"/>\n",
    num(x).c_str(), num(barTop).c_str(), num(barH).c_str());
  for (int h = 0; h <= 8; h += 2) {
    const double y = barTop + barH * (1 - h / MAX_HEIGHT);
    w("<line x1=\"%s\" y1=\"%s\" x2=\"%s\" y2=\"%s\" stroke=\"#1c1c24\"/><text x=\"%s\" y=\"%s\">%d</text>\n",
      num(x + 18).c_str(), num(y).c_str(), num(x + 23).c_str(), num(y).c_str(), num(x + 27).c_str(),
      num(y + 4).c_str(), h);
  }

  double y = barTop + barH + 34;
  w("<text x=\"%s\" y=\"%s\" font-weight=\"bold\">Surfaces</text>\n", num(x).c_str(), num(y).c_str());
  w("<defs><linearGradient id=\"rampswatch\"><stop offset=\"0\" stop-color=\"%s\"/><stop offset=\"1\" "
    "stop-color=\"%s\"/></linearGradient></defs>\n",
    surface_colour(0).c_str(), surface_colour(MAX_HEIGHT).c_str());
  const struct {
    const char* fill;
    std::string colour;
    const char* text;
  } swatches[] = {{nullptr, surface_colour(0), "ground, height 0"},
                  {nullptr, surface_colour(4), "walkway, height 4"},
                  {nullptr, surface_colour(8), "platform, height 8"},
                  {"url(#rampswatch)", "", "ramp, low to high"}};
  for (const auto& s : swatches) {
    y += 20;
    w("<rect x=\"%s\" y=\"%s\" width=\"26\" height=\"14\" fill=\"%s\" fill-opacity=\"0.85\" stroke=\"#55586a\"/>"
      "<text x=\"%s\" y=\"%s\">%s</text>\n",
      num(x).c_str(), num(y - 11).c_str(), s.fill ? s.fill : s.colour.c_str(), num(x + 34).c_str(),
      num(y).c_str(), s.text);
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
