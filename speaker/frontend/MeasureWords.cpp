#include "MeasureWords.h"

#include <array>

namespace sonvela::frontend {

namespace {

// Traditional forms stand beside the simplified ones: the Cantonese voice is
// given a traditional copy of the text.
constexpr std::array kMeasureWords = {
    MeasureWord{U"小时", 3},      MeasureWord{U"小時", 3}, MeasureWord{U"分钟", 1},
    MeasureWord{U"分鐘", 1},      MeasureWord{U"公斤", 1}, MeasureWord{U"公里", 1},
    MeasureWord{U"千克", 1},      MeasureWord{U"千米", 1}, MeasureWord{U"千瓦", 1},
    MeasureWord{U"个", 4},        MeasureWord{U"個", 4},   MeasureWord{U"次", 4},
    MeasureWord{U"件", 4},        MeasureWord{U"位", 4},   MeasureWord{U"句", 4},
    MeasureWord{U"块", 4},        MeasureWord{U"塊", 4},   MeasureWord{U"岁", 4},
    MeasureWord{U"歲", 4},        MeasureWord{U"对", 4},   MeasureWord{U"對", 4},
    MeasureWord{U"道", 4},        MeasureWord{U"部", 4},   MeasureWord{U"辆", 4},
    MeasureWord{U"輛", 4},        MeasureWord{U"片", 4},   MeasureWord{U"趟", 4},
    MeasureWord{U"段", 4},        MeasureWord{U"倍", 4},   MeasureWord{U"套", 4},
    MeasureWord{U"份", 4},        MeasureWord{U"遍", 4},   MeasureWord{U"样", 4},
    MeasureWord{U"樣", 4},        MeasureWord{U"袋", 4},   MeasureWord{U"串", 4},
    MeasureWord{U"扇", 4},        MeasureWord{U"座", 4},   MeasureWord{U"号线", 4},
    MeasureWord{U"號線", 4},      MeasureWord{U"斤", 1},   MeasureWord{U"天", 1},
    MeasureWord{U"张", 1},        MeasureWord{U"張", 1},   MeasureWord{U"支", 1},
    MeasureWord{U"只", 1},        MeasureWord{U"隻", 1},   MeasureWord{U"杯", 1},
    MeasureWord{U"包", 1},        MeasureWord{U"家", 1},   MeasureWord{U"间", 1},
    MeasureWord{U"間", 1},        MeasureWord{U"双", 1},   MeasureWord{U"雙", 1},
    MeasureWord{U"箱", 1},        MeasureWord{U"吨", 1},   MeasureWord{U"噸", 1},
    MeasureWord{U"根", 1},        MeasureWord{U"棵", 1},   MeasureWord{U"颗", 1},
    MeasureWord{U"顆", 1},        MeasureWord{U"批", 1},   MeasureWord{U"周", 1},
    MeasureWord{U"週", 1},        MeasureWord{U"分", 1},   MeasureWord{U"蚊", 1},
    MeasureWord{U"元", 2},        MeasureWord{U"条", 2},   MeasureWord{U"條", 2},
    MeasureWord{U"瓶", 2},        MeasureWord{U"台", 2},   MeasureWord{U"盒", 2},
    MeasureWord{U"名", 2},        MeasureWord{U"人", 2},   MeasureWord{U"排", 2},
    MeasureWord{U"盘", 2},        MeasureWord{U"盤", 2},   MeasureWord{U"门", 2},
    MeasureWord{U"門", 2},        MeasureWord{U"年", 2},   MeasureWord{U"毛", 2},
    MeasureWord{U"本", 3},        MeasureWord{U"把", 3},   MeasureWord{U"种", 3},
    MeasureWord{U"種", 3},        MeasureWord{U"组", 3},   MeasureWord{U"組", 3},
    MeasureWord{U"碗", 3},        MeasureWord{U"口", 3},   MeasureWord{U"秒", 3},
    MeasureWord{U"米", 3},        MeasureWord{U"朵", 3},   MeasureWord{U"场", 3},
    MeasureWord{U"場", 3},        MeasureWord{U"角", 3},   MeasureWord{U"两", 3, false},
    MeasureWord{U"兩", 3, false},
};

// Longer symbols first where one starts another (km/h before km, mm before m).
constexpr std::array kUnits = {
    Unit{U"km/h", "公里每小时", 1},
    Unit{U"m/s", "米每秒", 3},
    Unit{U"km²", "平方公里", 2},
    Unit{U"m²", "平方米", 2},
    Unit{U"m³", "立方米", 4},
    Unit{U"kWh", "千瓦时", 1},
    Unit{U"kwh", "千瓦时", 1},
    Unit{U"kW", "千瓦", 1},
    Unit{U"kg", "公斤", 1},
    Unit{U"KG", "公斤", 1},
    Unit{U"Kg", "公斤", 1},
    Unit{U"mg", "毫克", 2},
    Unit{U"g", "克", 4},
    Unit{U"km", "公里", 1},
    Unit{U"KM", "公里", 1},
    Unit{U"cm", "厘米", 2},
    Unit{U"mm", "毫米", 2},
    Unit{U"ml", "毫升", 2},
    Unit{U"mL", "毫升", 2},
    Unit{U"min", "分钟", 1},
    Unit{U"m", "米", 3},
    Unit{U"L", "升", 1},
    Unit{U"h", "小时", 3},
    Unit{U"W", "瓦", 3},
    Unit{U"Hz", "赫兹", 4},
    Unit{U"°C", "摄氏度", 4, false, true},
    Unit{U"℃", "摄氏度", 4, false, true},
    Unit{U"°F", "华氏度", 2, false, true},
    Unit{U"℉", "华氏度", 2, false, true},
    Unit{U"°", "度", 4, false, true},
    Unit{U"度", "度", 4, false, true},
    Unit{U"㎏", "公斤", 1},
    Unit{U"㎞", "公里", 1},
    Unit{U"㎝", "厘米", 2},
    Unit{U"㎜", "毫米", 2},
    Unit{U"㎡", "平方米", 2},
    Unit{U"㎖", "毫升", 2},
};

bool IsAsciiLetter(char32_t c) {
    return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z');
}

} // namespace

const MeasureWord* MeasureWordAt(std::u32string_view text) {
    for (const MeasureWord& measure : kMeasureWords)
        if (text.starts_with(measure.word))
            return &measure;
    return nullptr;
}

const Unit* UnitAt(std::u32string_view text) {
    for (const Unit& unit : kUnits) {
        if (!text.starts_with(unit.symbol))
            continue;
        const std::size_t size = unit.symbol.size();
        if (IsAsciiLetter(unit.symbol.back()) && size < text.size() && IsAsciiLetter(text[size]))
            continue;
        return &unit;
    }
    return nullptr;
}

} // namespace sonvela::frontend
