// The message list `ListBoxTitle` as a model over message numbers: each row carries its number
// and its text is made only when the row is drawn, so a list of a million messages costs four
// bytes a row and fills at once.
#pragma once

#include <QAbstractListModel>
#include <vector>

#include "store/message_list.h"

namespace vorlin {

class MessageListModel : public QAbstractListModel {
  Q_OBJECT

 public:
  explicit MessageListModel(const MessageList& messages, QObject* parent = nullptr)
      : QAbstractListModel(parent), messages_(messages) {}

  // Channel-prefixed lines with `prefix` characters of the channel title, or bare titles for a
  // prefix below 1.
  void Fill(std::vector<int> numbers, int prefix);
  void Clear() { Fill({}, 0); }

  const std::vector<int>& Numbers() const { return numbers_; }
  // The message number of `row`, or -1.
  int NumberAt(int row) const;
  // The text of `row` (Windows-1251); empty when its number no longer denotes a message.
  std::string LineText(int row) const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;

 private:
  const MessageList& messages_;
  std::vector<int> numbers_;
  int prefix_ = 0;
};

}  // namespace vorlin
