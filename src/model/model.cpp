#include "model/model.h"

namespace mrw {

void EmptyTable(ChannelTable& table) {
    table.clear();
}

ChannelRecord& AppendRecord(ChannelTable& table) {
    return table.emplace_back();
}

void GrowTable(ChannelTable& table, int length) {
    table.resize(length > 0 ? static_cast<size_t>(length) : 0U);
}

}  // namespace mrw
