#include "reader/message_list_model.h"

#include "app/control_state.h"
#include "reader/message_view.h"

namespace vorlin {

void MessageListModel::Fill(std::vector<int> numbers, int prefix) {
  beginResetModel();
  numbers_ = std::move(numbers);
  prefix_ = prefix;
  endResetModel();
}

int MessageListModel::NumberAt(int row) const {
  return row >= 0 && row < static_cast<int>(numbers_.size()) ? numbers_[static_cast<size_t>(row)]
                                                             : -1;
}

std::string MessageListModel::LineText(int row) const {
  int n = NumberAt(row);
  if (!IsLoaded(messages_, n)) return {};
  if (prefix_ > 0) return ChannelPrefixedLine(messages_, n, prefix_);
  return std::string(messages_.title[static_cast<size_t>(n)]);
}

int MessageListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(numbers_.size());
}

QVariant MessageListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (role == Qt::DisplayRole) return ToQ(LineText(index.row()));
  if (role == Qt::UserRole) return NumberAt(index.row());
  return {};
}

}  // namespace vorlin
