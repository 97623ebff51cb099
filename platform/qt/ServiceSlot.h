#pragma once
// The one installed implementation of a platform service (file dialogs, modal dialogs,
// questions, the shell, the folder browser, the error sink): the desktop's own unless a test
// has installed a scripted one.

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

// The base of a scripted service: installed with Install while it lives, the previous one
// put back when it goes. Install is the service's public setter (SetShell, say), which
// returns what was installed before.
template <class Interface, Interface* (*Install)(Interface*)>
class TInstalledWhileAlive : public Interface {
public:
    TInstalledWhileAlive(const TInstalledWhileAlive&) = delete;
    TInstalledWhileAlive& operator=(const TInstalledWhileAlive&) = delete;

protected:
    TInstalledWhileAlive() : previous_(Install(this)) {}
    ~TInstalledWhileAlive() override { Install(previous_); }

private:
    Interface* previous_;
};

} // namespace plotalon
