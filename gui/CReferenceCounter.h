#pragma once
// Shared ownership for views, bitmaps and draw contexts: the count starts at 1 and forget()
// deletes the object when it reaches zero.

namespace tanuvo::gui {

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

// Makes slot hold object: takes a reference to the new object before releasing the one slot held,
// so that handing in the object already held keeps it alive.
template <typename T>
void replaceReference(T*& slot, T* object) {
    if (object)
        object->remember();
    if (slot)
        slot->forget();
    slot = object;
}

// Holds one reference for a scope. Calls into the host may release every other one: a host may
// close the editor from a callback it receives in the middle of a gesture.
template <typename T>
class ScopedReference {
  public:
    explicit ScopedReference(T* object) : object(object) {
        if (object)
            object->remember();
    }
    ~ScopedReference() {
        if (object)
            object->forget();
    }
    ScopedReference(const ScopedReference&) = delete;
    ScopedReference& operator=(const ScopedReference&) = delete;

  private:
    T* object;
};

}  // namespace tanuvo::gui
