// frontend_share: the front-end's time on a 10 KB announcement text, segment
// by segment as the reader hands it over, as a share of espeak-ng's time to
// synthesise what the front-end produced (goal: at most 0.05).
// frontend_10MB_over_10KB: the front-end's time per character on a 10 MB
// text over that on the 10 KB text (goal: at most 1.5).
// frontend_table_load_ms: the first use, which loads the word table.
// All times are CPU times of the measuring thread.
#include "FrontEnd.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <espeak-ng/speak_lib.h>
#include <string>
#include <vector>

namespace {

// CPU time of this thread: the machine that runs the benchmarks is busy
// with other work, which wall-clock times would charge to whichever run it
// happened to overlap. Front-end and synthesis both run on this thread.
struct Clock {
    using duration = std::chrono::nanoseconds;
    struct time_point {
        duration sinceStart;
        duration operator-(const time_point& other) const { return sinceStart - other.sinceStart; }
    };
    static time_point now() {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return {std::chrono::seconds(t.tv_sec) + std::chrono::nanoseconds(t.tv_nsec)};
    }
};
using sonvela::frontend::Dialect;
using sonvela::frontend::FrontEnd;

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

const char* const kSentences[] = {
    "各位顾客，欢迎光临本店，今天所有水果一律8折。",
    "西红柿每斤3.5元，苹果每斤¥6.80，西瓜每个15元，买2个送1个。",
    "本店营业时间为早上8:30-21:30，节假日照常营业。",
    "请A023号顾客到3号窗口办理业务，银行行长今天不在。",
    "现在是北京时间13:00正，今天是2026年12月9日，气温-5℃到3℃。",
    "会员重新办卡请拨打13800138000或400-800-1234，还书请到二楼。",
    "全场商品打折50%，满200元减30元，5kg装大米只要39.9元！",
    "一定要排队，不要着急，我们都会为您处理好的。",
    "G1234次列车将于9:05到达，请到第2候车室检票。",
};

// Whole sentences up to `bytes`.
std::string AnnouncementText(std::size_t bytes) {
    std::string text;
    for (std::size_t i = 0; text.size() < bytes; ++i)
        text += kSentences[i % std::size(kSentences)];
    return text;
}

// The segments as the reader cuts them with the shipped delay table.
std::vector<std::string> Segments(const std::string& text) {
    static const std::string marks[] = {"。", "，", "！", "？", "；"};
    std::vector<std::string> segments;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        for (const std::string& mark : marks) {
            if (text.compare(i, mark.size(), mark) == 0) {
                segments.push_back(text.substr(start, i + mark.size() - start));
                start = i + mark.size();
                i = start - 1;
                break;
            }
        }
    }
    if (start < text.size())
        segments.push_back(text.substr(start));
    return segments;
}

// Seconds the front-end takes over every segment, best of `runs`. The
// output of the last run is kept when asked for; otherwise only its size,
// so the large text measures the front-end, not a growing vector.
double FrontEndSeconds(const FrontEnd& frontEnd, const std::vector<std::string>& segments, int runs,
                       std::vector<std::string>* prepared = nullptr) {
    double best = 1e9;
    std::size_t sink = 0;
    for (int run = 0; run < runs; ++run) {
        if (prepared)
            prepared->clear();
        const auto start = Clock::now();
        for (const std::string& segment : segments) {
            std::string out = frontEnd.Prepare(segment, Dialect::Mandarin);
            sink += out.size();
            if (prepared)
                prepared->push_back(std::move(out));
        }
        best = std::min(best, Seconds(Clock::now() - start));
    }
    if (sink == 0)
        std::fprintf(stderr, "the front-end gave nothing\n");
    return best;
}

int DiscardAudio(short*, int, espeak_EVENT*) {
    return 0;
}

double SynthesisSeconds(const std::vector<std::string>& texts) {
    const auto start = Clock::now();
    for (const std::string& text : texts)
        espeak_Synth(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr,
                     nullptr);
    espeak_Synchronize();
    return Seconds(Clock::now() - start);
}

} // namespace

int main() {
    FrontEnd frontEnd;
    const auto loadStart = Clock::now();
    frontEnd.Prepare("银行行长一定不要3.5元", Dialect::Mandarin);
    const double loadMs = Seconds(Clock::now() - loadStart) * 1e3;

    const std::string small = AnnouncementText(10 * 1024);
    const std::string large = AnnouncementText(10 * 1024 * 1024);
    const auto smallSegments = Segments(small);
    const auto largeSegments = Segments(large);

    std::vector<std::string> prepared;
    const double smallSeconds = FrontEndSeconds(frontEnd, smallSegments, 20, &prepared);
    const double largeSeconds = FrontEndSeconds(frontEnd, largeSegments, 2);

    if (espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 500, nullptr, 0) <= 0 ||
        espeak_SetVoiceByName("cmn-latn-pinyin") != EE_OK) {
        std::fprintf(stderr, "espeak-ng cannot be started\n");
        return 1;
    }
    espeak_SetSynthCallback(DiscardAudio);
    const double synthesisSeconds = SynthesisSeconds(prepared);
    espeak_Terminate();

    std::printf("frontend_table_load_ms: %.1f\n", loadMs);
    std::printf("frontend_share: %.4f\n", smallSeconds / synthesisSeconds);
    std::printf("frontend_10MB_over_10KB: %.2f\n",
                (largeSeconds / static_cast<double>(large.size())) /
                    (smallSeconds / static_cast<double>(small.size())));
    std::printf("frontend_us_per_KB: %.1f\n", smallSeconds * 1e6 / (small.size() / 1024.0));
    return 0;
}
