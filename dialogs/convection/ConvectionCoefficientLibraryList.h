#pragma once
// ConvectionCoefficientLibraryList: the user's coefficient libraries, kept in "CCLibList.xml"
// in the user data folder:
//   <CCLibList><CCLibrary><LibFile>path</LibFile><LibName default='true'>name</LibName></CCLibrary>...</CCLibList>
// (default='true' only on the default library, whose stored name is not used).

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "dialogs/convection/ConvectionCoefficientLibrary.h"

namespace DataModelDialogs {

class ConvectionCoefficientLibraryList {
public:
    static constexpr std::size_t npos = std::size_t(-1);

    // The list file in the user data folder (empty when there is no user data folder).
    static std::filesystem::path DefaultListFilePath();

    // Works on the list file in the user data folder.
    ConvectionCoefficientLibraryList();
    // Works on the given list file.
    explicit ConvectionCoefficientLibraryList(std::filesystem::path listFile);

    const std::filesystem::path& GetListFilePath() const { return listFile_; }

    // Reads the list file and loads every library in it, then sorts. A missing file leaves the
    // list as it is. A file that exists but cannot be read leaves the list as it is and is
    // never written over by Save (false). A file that was read and does not parse is damaged:
    // it is copied to "CCLibList.xml.damaged" (or ".damaged.2", ... when that exists), the
    // list is emptied (false) and the next Save writes a new file. A listed library that
    // cannot be loaded is dropped. GetProblems() tells what went wrong.
    bool Load();
    // Default libraries first, then by display name in ordinal order.
    void Sort();
    // Saves every changed library that has a location (the default library only while the
    // developer switch is on),
    // then writes the list file naming each library whose storage exists. False when something
    // could not be written (GetProblems() says what); the rest is still written.
    bool Save();

    // An empty name adds the default library (the default file); another name a library
    // without storage yet. The new library is dirty. Returns its index (the last).
    std::size_t AddLibrary(const CString& name, bool userLibrary);
    // Removes the library, first deleting its storage when asked and it exists.
    bool RemoveLibrary(std::size_t index, bool deleteStorage);
    // Makes sure the default library leads the list, loading it from its file, and saves the
    // list when it had to be added. With the developer switch on a missing default file is
    // no error (the developer is about to create it).
    bool EnsureDefaultLibrary();

    bool HasDefaultLibraryFirst() const;
    // By display name (exact); npos when none.
    std::size_t FindLibraryByName(const CString& name) const;
    // By location without regard to case (an import of a library already listed); npos when none.
    std::size_t FindLibraryByLocation(const CString& location) const;

    std::size_t GetCount() const { return libraries_.size(); }
    bool IsEmpty() const { return libraries_.empty(); }
    ConvectionCoefficientLibrary& operator[](std::size_t index) { return libraries_.at(index); }
    const ConvectionCoefficientLibrary& operator[](std::size_t index) const { return libraries_.at(index); }
    std::vector<ConvectionCoefficientLibrary>& GetLibraries() { return libraries_; }
    const std::vector<ConvectionCoefficientLibrary>& GetLibraries() const { return libraries_; }

    // What the last Load, Save or EnsureDefaultLibrary ran into, one message per problem.
    const std::vector<std::wstring>& GetProblems() const { return problems_; }

private:
    bool WriteListFile();
    // Copies a damaged list file to the first free "<file>.damaged[.N]"; false when it cannot.
    bool KeepDamagedListFile();

    std::filesystem::path listFile_;
    std::vector<ConvectionCoefficientLibrary> libraries_;
    std::vector<std::wstring> problems_;
    // The list file exists but its content is unknown: it must not be written over.
    bool listFileUnread_ = false;
};

}  // namespace DataModelDialogs
