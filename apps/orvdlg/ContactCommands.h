#pragma once
// The contact options of contact pairs as the host edits them: one of the factory's contact
// options objects, fed the selected pairs, its dialog, and on OK every pair written back. The
// script commands `contact-options`, `expect pair` and `expect contact-object` drive it, and
// the host window's contact pair list runs it through factory slot 6.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "apps/orvdlg/HostCommands.h"
#include "platform/drivers/scripted/ScriptRunner.h"
#include "platform/win/WinTypes.h"

class CWnd;

namespace OrvDbRecord {
class DbContactPair;
class DbDesignScenario;
}  // namespace OrvDbRecord

namespace orvdlg {

// The object asked for: factory slots 2 to 5, or slot 6 (Choose) with the scenario's analysis
// type and the first pair's contact type.
enum class ContactKind { Friction, Thermal, Direction, Bonding, Choose };

struct ContactRun {
    std::string object;      // the object that ran: friction, thermal, direction or bonding
    INT_PTR result = 0;      // what ShowDialog returned
    std::size_t applied = 0; // pairs written back (on IDOK only)
};

// Reset, SetDisplayUnitSystem (the scenario's display unit system), AccumulateContactPair for
// each pair in order, ShowDialog(parent, readOnly), and on IDOK ApplyToContactPair for each
// pair. `pairs` must not be empty.
ContactRun RunContactOptions(OrvDbRecord::DbDesignScenario& scenario, ContactKind kind,
                             const std::vector<OrvDbRecord::DbContactPair*>& pairs, CWnd* parent, bool readOnly);

class ContactCommands : public orv::script::CommandLayer {
public:
    explicit ContactCommands(HostCommands& host) : host_(host) {}
    void AddCommands(orv::script::CommandTable& table) override;

private:
    void ContactOptions(orv::script::Call& call);
    void ExpectPair(orv::script::Call& call);

    HostCommands& host_;
    std::optional<std::string> chosen_;  // the object `contact-options choose` ran last
};

}  // namespace orvdlg
