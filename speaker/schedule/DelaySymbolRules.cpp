#include "DelaySymbolRules.h"

#include "Dataset.h"

namespace sonvela {

std::optional<AddSymbolRefusal> CheckNewDelaySymbol(std::string_view symbolUtf8, int recordCount) {
    if (symbolUtf8.empty())
        return AddSymbolRefusal{false, "请输入标点符号!"};
    if (symbolUtf8.find("※") != std::string_view::npos)
        return AddSymbolRefusal{true, "该符号为系统功能符号，不能添加!"};
    if (recordCount >= kMaxDelaySymbols)
        return AddSymbolRefusal{true, "延时符号最多" + std::to_string(kMaxDelaySymbols) +
                                          "个，请先删除不用的符号再新增!"};
    return std::nullopt;
}

void AppendDelaySymbol(Dataset& delaySymbols, const NewDelaySymbol& symbol) {
    delaySymbols.Append();
    delaySymbols.SetUtf8("name", symbol.nameUtf8);
    delaySymbols.SetUtf8("descript", symbol.symbolUtf8);
    delaySymbols.SetInteger("delaytime", symbol.pauseMs);
    delaySymbols.SetBool("candelete", true);
    delaySymbols.Post();
}

} // namespace sonvela
