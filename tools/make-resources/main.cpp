// make-resources [OUTDIR]                  renders the built-in pictures and the icon
// make-resources --compose OUT.png [DIR]   lays bubbles from DIR's pictures over its background
// OUTDIR and DIR default to ./resources.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "bubble_art.h"
#include "compose.h"
#include "icon.h"
#include "image_files.h"
#include "seascape.h"

namespace {

void WriteAll(const std::string& dir) {
  art::WritePng(dir + "/BALL.png", art::RenderBody());
  art::WritePng(dir + "/BALL1.png", art::RenderHighlights());
  art::WritePng(dir + "/BALL2.png", art::RenderShadow());
  art::WritePng(dir + "/MASK1.png", art::RenderMask());
  art::WriteJpeg(dir + "/BACK.jpg", art::RenderSeascape(), 88);
  std::vector<art::Picture> icons;
  for (int side : art::IconSizes) icons.push_back(art::RenderIcon(side));
  art::WriteBytes(dir + "/vesperine.ico", art::EncodeIco(icons));
}

int Usage() {
  std::fputs("usage: make-resources [OUTDIR]\n       make-resources --compose OUT.png [DIR]\n",
             stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  try {
    if (!args.empty() && args[0] == "--compose") {
      if (args.size() < 2 || args.size() > 3) return Usage();
      art::BubbleLayers layers = art::ReadLayers(args.size() == 3 ? args[2] : "resources");
      art::WritePng(args[1], art::ComposePreview(layers, 800, 600));
      return 0;
    }
    if (args.size() > 1 || (!args.empty() && args[0].starts_with("-"))) return Usage();
    WriteAll(args.empty() ? "resources" : args[0]);
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make-resources: %s\n", e.what());
    return 1;
  }
}
