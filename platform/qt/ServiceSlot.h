#pragma once
// The one installed implementation of a platform service (file dialogs, questions, the
// shell): the desktop's own unless a test has installed a scripted one.

namespace plotalon {

template <class Interface, class Desktop> class TServiceSlot {
public:
    static Interface& Current() { return *Slot(); }
    // Installs service (nullptr: the desktop's again); returns the previous one.
    static Interface* Install(Interface* service) {
        Interface* previous = Slot();
        Slot() = service ? service : &Own();
        return previous;
    }

private:
    static Desktop& Own() {
        static Desktop desktop;
        return desktop;
    }
    static Interface*& Slot() {
        static Interface* current = &Own();
        return current;
    }
};

} // namespace plotalon
