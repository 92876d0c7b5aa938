#pragma once
// Shared ownership for views, bitmaps and draw contexts: the count starts at 1 and forget()
// deletes the object when it reaches zero.

namespace VSTGUI {

class CReferenceCounter {
  public:
    CReferenceCounter() = default;
    CReferenceCounter(const CReferenceCounter&) = delete;
    CReferenceCounter& operator=(const CReferenceCounter&) = delete;
    virtual ~CReferenceCounter() = default;

    virtual void forget() {
        if (--nbReference == 0)
            delete this;
    }
    virtual void remember() { ++nbReference; }
    long getNbReference() const { return nbReference; }

  private:
    long nbReference = 1;
};

}  // namespace VSTGUI
