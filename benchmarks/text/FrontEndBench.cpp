// reading_table_load_ms: parsing the built-in Mandarin reading table, once
// per process. frontend_us_per_kb_10KB: the whole front-end (Mandarin) on a
// 10 KB announcement text cut into 500-byte segments, as the reader cuts
// it; frontend_10MB_over_10KB: the same per-character cost on 10 MB over
// that on 10 KB (1 means no growth). frontend_over_synthesis: front-end time
// over espeak-ng's synthesis time of the same 2 KB text. CPU times, so a
// busy machine skews the ratios less than it would wall-clock times.
#include "FrontEnd.h"
#include "PinyinDictionary.h"
#include "PinyinTable.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <espeak-ng/espeak_ng.h>
#include <espeak-ng/speak_lib.h>
#include <string>
#include <vector>

using namespace sonvela::frontend;

namespace {

double CpuMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

std::string AnnouncementText(std::size_t bytes) {
    const char* const sentences[] = {
        "各位顾客，欢迎光临本店，今天所有水果一律八折，会员还可以再打九五折。",
        "请到银行柜台办理还款业务，行长提醒您重新核对账户信息。",
        "本次列车开往重庆，前方到站是长沙站，请下车的乘客带好您的行李。",
        "请不要着急，大家按顺序排队，不要拥挤，注意脚下安全。",
        "营业时间调整为早上8点至晚上10点，节假日照常营业，欢迎您再次光临。",
        "这种商品便宜又好用，数量有限，一定不要错过，音乐会明天下午开始。",
    };
    std::string text;
    for (std::size_t i = 0; text.size() < bytes; ++i)
        text += sentences[i % std::size(sentences)];
    return text;
}

// Segments of at most 500 bytes cut at sentence ends, as the reader gives them.
std::vector<std::string> Segments(const std::string& text) {
    std::vector<std::string> segments;
    const std::string stop = "。";
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(stop, start);
        end = end == std::string::npos ? text.size() : end + stop.size();
        segments.push_back(text.substr(start, end - start));
        start = end;
    }
    return segments;
}

double FrontEndMs(const FrontEnd& frontEnd, const std::vector<std::string>& segments,
                  std::string* prepared = nullptr) {
    const double start = CpuMs();
    std::size_t sink = 0;
    for (const std::string& segment : segments) {
        const std::string out = frontEnd.Prepare(segment, Dialect::Mandarin);
        sink += out.size();
        if (prepared != nullptr)
            *prepared += out;
    }
    const double elapsed = CpuMs() - start;
    if (sink == 0)
        std::printf("# the front-end returned nothing\n");
    return elapsed;
}

double SynthesisMs(const std::string& prepared) {
    espeak_ng_InitializePath(nullptr);
    espeak_ng_ERROR_CONTEXT context = nullptr;
    if (espeak_ng_Initialize(&context) != ENS_OK)
        return -1;
    espeak_ng_InitializeOutput(ENOUTPUT_MODE_SYNCHRONOUS, 200, nullptr);
    espeak_SetSynthCallback([](short*, int, espeak_EVENT*) { return 0; });
    espeak_SetVoiceByName("cmn-latn-pinyin");
    const double start = CpuMs();
    espeak_Synth(prepared.c_str(), prepared.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8,
                 nullptr, nullptr);
    return CpuMs() - start;
}

} // namespace

int main() {
    double start = CpuMs();
    const PinyinDictionary table(PinyinTableText());
    std::printf("reading_table_load_ms: %.1f\n", CpuMs() - start);
    std::printf("reading_table_words: %zu\n", table.size());

    const FrontEnd frontEnd;
    frontEnd.Prepare("预热", Dialect::Mandarin); // loads the built-in tables

    const std::vector<std::string> small = Segments(AnnouncementText(10 * 1024));
    const std::vector<std::string> large = Segments(AnnouncementText(10 * 1024 * 1024));
    // The best of a few runs of the short text: one run is too brief to
    // measure alone on a shared machine.
    double smallMs = 1e9;
    for (int run = 0; run < 20; ++run)
        smallMs = std::min(smallMs, FrontEndMs(frontEnd, small));
    const double largeMs = FrontEndMs(frontEnd, large);
    const double perKbSmall = smallMs * 1e3 / 10.0;
    const double perKbLarge = largeMs * 1e3 / (10.0 * 1024);
    std::printf("frontend_us_per_kb_10KB: %.1f\n", perKbSmall);
    std::printf("frontend_us_per_kb_10MB: %.1f\n", perKbLarge);
    std::printf("frontend_10MB_over_10KB: %.2f\n", perKbLarge / perKbSmall);

    const std::vector<std::string> sample = Segments(AnnouncementText(2 * 1024));
    std::string prepared;
    const double frontEndMs = FrontEndMs(frontEnd, sample, &prepared);
    const double synthesisMs = SynthesisMs(prepared);
    std::printf("frontend_ms_2KB: %.2f\n", frontEndMs);
    std::printf("synthesis_ms_2KB: %.1f\n", synthesisMs);
    std::printf("frontend_over_synthesis: %.4f\n", synthesisMs > 0 ? frontEndMs / synthesisMs : -1);
    return 0;
}
