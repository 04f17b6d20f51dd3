// soundgen: makes every sound effect and music file of the game.
//
//   soundgen <asset-dir>
//       writes NAME.wav for each effect and soundgen.rc, the resource script
//       fragment that names them as resources of type SOUND, into
//       <asset-dir>, and the music (*.mid) into <asset-dir>/dist/.
//   soundgen --preview <file.mid> <out.wav> [seconds]
//       renders a tune with the game's synthesizer, to check it by measuring.
//   soundgen --bench-synth <file.mid>...
//       renders each tune whole on one core and prints how many times faster
//       than real time that went.
//   soundgen --measure <file.wav>...
//       prints each recording's loudness (LUFS), peak, side against mid and
//       the share of the bass and of the presence band.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "effects.h"
#include "meter.h"
#include "preview.h"
#include "tunes.h"

namespace fs = std::filesystem;

namespace {

std::string ForwardSlashes(std::string path) {
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}

int Generate(const fs::path& dir) {
    std::error_code ec;
    fs::create_directories(dir / "dist", ec);
    if (ec) {
        std::fprintf(stderr, "soundgen: cannot create %s\n", (dir / "dist").c_str());
        return 1;
    }
    std::string rc = "// Made by soundgen: the sound effects, as resources of type SOUND.\n";
    for (const snd::EffectDef& def : snd::Effects()) {
        fs::path wav = fs::absolute(dir / (std::string(def.szName) + ".wav"));
        if (!snd::WriteFile(wav.string(), snd::WavBytes(snd::MakeEffect(def)))) {
            std::fprintf(stderr, "soundgen: cannot write %s\n", wav.c_str());
            return 1;
        }
        rc += std::string(def.szName) + " SOUND \"" + ForwardSlashes(wav.string()) + "\"\n";
    }

    std::vector<tune::TuneFile> tunes = tune::ComposeAll();
    std::set<std::string> names;
    for (const tune::TuneFile& t : tunes) names.insert(t.szFile);
    // Music from an older build would be played too: remove what is not ours now.
    for (const fs::directory_entry& e : fs::directory_iterator(dir / "dist", ec)) {
        std::string name = e.path().filename().string();
        if (e.path().extension() == ".mid" && !names.count(name)) fs::remove(e.path(), ec);
    }
    for (const tune::TuneFile& t : tunes) {
        fs::path mid = dir / "dist" / t.szFile;
        if (!snd::WriteFile(mid.string(), t.aBytes)) {
            std::fprintf(stderr, "soundgen: cannot write %s\n", mid.c_str());
            return 1;
        }
    }

    // The fragment last, so that it only exists once everything it names does.
    fs::path tmp = dir / "soundgen.rc.tmp";
    if (!snd::WriteFile(tmp.string(), std::vector<uint8_t>(rc.begin(), rc.end()))) {
        std::fprintf(stderr, "soundgen: cannot write %s\n", tmp.c_str());
        return 1;
    }
    fs::rename(tmp, dir / "soundgen.rc", ec);
    if (ec) {
        std::fprintf(stderr, "soundgen: cannot write soundgen.rc\n");
        return 1;
    }
    return 0;
}

int Measure(const std::vector<std::string>& paths) {
    int nFailed = 0;
    std::printf("%-24s %7s %7s %9s %9s %9s\n", "", "LUFS", "peak", "side/mid", "<250 Hz",
                "2.5-8 kHz");
    for (const std::string& path : paths) {
        meter::Stereo s;
        if (!meter::ReadWav(path, &s)) {
            std::fprintf(stderr, "%s: not a PCM WAV of 8 or 16 bits\n", path.c_str());
            nFailed++;
            continue;
        }
        float fPeak = 0;
        for (size_t i = 0; i < s.aLeft.size(); i++)
            fPeak = std::max({fPeak, std::fabs(s.aLeft[i]), std::fabs(s.aRight[i])});
        std::printf("%-24s %7.1f %7.1f %9.1f %9.1f %9.1f\n",
                    fs::path(path).filename().string().c_str(), meter::Loudness(s),
                    20 * std::log10(fPeak), meter::SideToMid(s), meter::BandLevel(s, 20, 250),
                    meter::BandLevel(s, 2500, 8000));
    }
    return nFailed ? 1 : 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 4 && std::string(argv[1]) == "--preview")
        return preview::Render(argv[2], argv[3], argc >= 5 ? std::atof(argv[4]) : 0.0);
    if (argc >= 3 && std::string(argv[1]) == "--bench-synth")
        return preview::Bench(std::vector<std::string>(argv + 2, argv + argc));
    if (argc >= 3 && std::string(argv[1]) == "--measure")
        return Measure(std::vector<std::string>(argv + 2, argv + argc));
    if (argc != 2) {
        std::fprintf(stderr, "usage: soundgen <asset-dir>\n"
                             "       soundgen --preview <file.mid> <out.wav> [seconds]\n"
                             "       soundgen --bench-synth <file.mid>...\n"
                             "       soundgen --measure <file.wav>...\n");
        return 2;
    }
    return Generate(argv[1]);
}
