// A host that uses the installed dialog library: it loads a model file, asks the library's
// factory for the dialog of the part temperatures (type code 111), lets a scripted driver fill
// it in as a person would, writes the edits back into the model and prints what was stored.
//
//   embed_host MODEL.json [TEMPERATURE]
#include <cstdio>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>

#include "components/Registration.h"
#include "dialogs/factory/DataModelDialogs.h"
#include "host/model/DbDesignScenario.h"
#include "host/model/ModelFile.h"
#include "platform/drivers/scripted/ScriptedDriver.h"
#include "platform/drivers/scripted/UiCommands.h"
#include "platform/win/Driver.h"

namespace {

constexpr std::uint32_t kPartTemperature = 111;
constexpr std::size_t kTemperatureOffset = 272;  // f64 in the temperature record

double StoredTemperature(const OrvDbRecord::DbFeaObject& object) {
    double value = 0.0;
    std::memcpy(&value, object.GetRecord().data() + kTemperatureOffset, sizeof value);
    return value;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::cerr << "usage: embed_host MODEL.json [TEMPERATURE]\n";
        return 2;
    }
    const std::string temperature = argc == 3 ? argv[2] : "300";
    RegisterOrvComponents();

    auto loaded = OrvDbRecord::LoadModelFile(argv[1]);
    if (!loaded) {
        std::cerr << loaded.error << '\n';
        return 1;
    }
    OrvDbRecord::DbDesignScenario* scenario = loaded.model->GetFirstScenario();
    const OrvDbRecord::DbFeaObject* object = nullptr;
    if (scenario)
        for (const auto& [id, candidate] : scenario->GetFeaObjects())
            if (candidate->GetTypeCode() == kPartTemperature) {
                object = &*candidate;
                break;
            }
    if (!object) {
        std::cerr << argv[1] << ": no part temperature in the first design scenario\n";
        return 1;
    }

    // The calling order every host keeps: factory, Reset, SetEditParameters, SetMode,
    // AddFeaObject, ShowDialog.
    auto* dialog = dynamic_cast<DataModelDialogs::AFeaObjectPropertiesDialog*>(
        DataModelDialogs::GetDataModelDialogFactory()->GetFeaObjectPropertiesDialog(kPartTemperature, nullptr, 0));
    if (!dialog) {
        std::cerr << "the library serves no dialog for type code " << kPartTemperature << '\n';
        return 1;
    }
    dialog->Reset();
    DataModelDialogs::FeaObjectEditParameters parameters;
    parameters.designScenario = scenario;
    parameters.settingsDatabasePath = scenario->GetModelPath();
    parameters.objectCount = 1;
    dialog->SetEditParameters(parameters);
    dialog->SetMode(1);  // modify
    dialog->AddFeaObject(object);

    // What a person does in the dialog, as script lines the driver performs on it.
    orv::script::ScriptRunner runner(std::cout);
    orv::script::UiCommands ui;
    runner.AddLayer(ui);
    runner.SetWindowProbe(&ui);
    const std::string script = "expect title \"Modifying 1 Temperature Object\"\n"
                               "type 1031 \"" + temperature + "\"\n"
                               "click OK\n";
    if (!runner.Load("embed", script)) return 2;
    orv::script::ScriptedDriver driver(runner);
    std::uint32_t result;
    {
        orv::win::DriverScope scope(&driver);
        result = dialog->ShowDialog(0);
    }
    if (runner.Stopped()) return runner.ExitStatus();
    if (result != 0) {
        std::cout << "the dialog was cancelled (" << result << ")\n";
        return 1;
    }
    auto& entries = dialog->GetEntries();
    RURIVO_LOADS_V1_ENTRY entry = entries.at(0);
    dialog->ApplyEditsToEntry(&entry);
    auto* stored = scenario->FindFeaObject(object->Id());
    stored->InitOnFemStruct(entry);
    std::cout << "part temperature " << stored->Id() << ": " << StoredTemperature(*stored) << '\n';
    return 0;
}
