#pragma once
// What is being dragged over the frame: only the number of items is known here.

namespace tanuvo::gui {

class CDragContainer {
  public:
    explicit CDragContainer(long count) : count(count) {}
    long getCount() const { return count; }

  private:
    long count;
};

}  // namespace tanuvo::gui
