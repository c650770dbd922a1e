#include "PronunciationTable.h"

namespace sonvela {

std::vector<PronunciationRow> PronunciationTable::Rows() const {
    std::vector<PronunciationRow> rows;
    Statement select = db_.Prepare("select id, word, reading from pronunciation order by id");
    while (select.Step())
        rows.push_back({ValueToInteger(select.Column(0), 0), ValueToUtf8(select.Column(1)),
                        ValueToUtf8(select.Column(2))});
    return rows;
}

std::int64_t PronunciationTable::Add(const std::string& word, const std::string& reading) const {
    db_.Execute("insert into pronunciation (word, reading) values (?, ?)", {word, reading});
    return db_.LastInsertId();
}

bool PronunciationTable::Update(std::int64_t id, const std::string& word,
                                const std::string& reading) const {
    return db_.Execute("update pronunciation set word = ?, reading = ? where id = ?",
                       {word, reading, id}) > 0;
}

bool PronunciationTable::Delete(std::int64_t id) const {
    return db_.Execute("delete from pronunciation where id = ?", {id}) > 0;
}

} // namespace sonvela
