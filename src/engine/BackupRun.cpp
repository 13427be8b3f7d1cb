#include "engine/BackupRun.h"

#include <stdexcept>

#include "common/SilentAbort.h"
#include "database/TavixDatabase.h"
#include "engine/FolderSize.h"
#include "engine/PathMapping.h"
#include "funcoes/U_Funcoes.h"
#include "platform/Process.h"
#include "platform/SystemError.h"

namespace {

constexpr std::uint16_t kShowNormal = 1;

// Each step's work, in the table's order.
constexpr void (BackupRun::*kStepWork[])() = {
#define DUPLORA_STEP(image, box, label, caption, optional, needsConnection, work) &BackupRun::work,
#include "common/Steps.inc"
#undef DUPLORA_STEP
};

}  // namespace

BackupRun::BackupRun(RunView& view, TavixDatabase& database, const Clock& clock)
    : Mirror(view), Report(clock), view_(view), database_(database), clock_(clock) {
    Mirror.Report = &Report;
}

void BackupRun::Run() {
    Report.Begin();
    interruption_.reset();
    try {
        RunSteps();
    } catch (const SilentAbort&) {
        if (!interruption_) interruption_.emplace();
        EndRun();
        throw;
    } catch (...) {
        interruption_ = Interruption{0, CurrentErrorText()};
        EndRun();
        throw;
    }
    EndRun();
}

// The run's result: in the log first, then told to every channel, then to the window.
void BackupRun::EndRun() {
    const RunResult result = interruption_
                                 ? Report.Result(RunResult::Ending::kInterrupted,
                                                 interruption_->step, interruption_->reason)
                                 : Report.Result(RunResult::Ending::kComplete, 0, {});
    Report.End(result);
    for (RunChannel* channel : Channels) channel->Tell(result, Report, view_);
    view_.RunEnded(result);
}

// Each step in its order: connected first when it needs the database (and it stays so while the
// steps after it need it too), then its work unless its box is cleared.
void BackupRun::RunSteps() {
    view_.RunBegan();
    for (int step = 1; step <= kStepCount; ++step) {
        view_.StepBegan(step);
        if (Step(step).needsConnection) ConnectFor(step);
        if (!Step(step).optional || view_.StepWanted(step))
            StepWork(step, [this, step] { (this->*kStepWork[step - 1])(); });
        if (step < kStepCount && !Step(step + 1).needsConnection) Disconnect();
    }
    view_.StepBegan(kAllStepsDone);
    Disconnect();
}

void BackupRun::ConnectFor(int step) {
    try {
        database_.DB_Tavix.SetConnected(true);
    } catch (...) {
        FailStep(step, {std::string(kNoConnectionText) + ": " + CurrentErrorText(), true});
    }
}

// A connection left open by an earlier run may have lost its server since: it is asked
// something cheap first, and closed by force when it no longer answers, so that the check
// reaches the server for real.
void BackupRun::CheckDatabase() {
    FbDatabase& connection = database_.DB_Tavix;
    if (connection.Connected()) {
        try {
            connection.CheckConnection();
        } catch (...) {
            connection.ForceClose();
        }
    }
    connection.SetConnected(true);
}

// The connection is closed by force when it does not close cleanly (a server gone since): the
// copies do not depend on it, so the run goes on and counts the failure.
void BackupRun::Disconnect() {
    FbDatabase& connection = database_.DB_Tavix;
    try {
        connection.SetConnected(false);
    } catch (...) {
        const std::string reason = CurrentErrorText();
        connection.ForceClose();
        Report.Failure(connection.DatabaseName(), reason);
    }
}

void BackupRun::StepWork(int step, const std::function<void()>& work) {
    try {
        work();
    } catch (const SilentAbort&) {
        throw;  // the step has failed already
    } catch (...) {
        FailStep(step, {CurrentErrorText()});
    }
}

void BackupRun::FailStep(int step, StepFailure failure) {
    view_.StepFailed(step, failure);
    interruption_ = Interruption{step, std::move(failure.reason)};
    throw SilentAbort();
}

// A walk that broke off fails the step at work.
void BackupRun::MeasureAndMirror(const std::string& source, const std::string& destination,
                                 bool recursive) {
    if (const WalkResult walked = Mirror.MeasureAndMirror(source, destination, recursive); !walked)
        throw std::runtime_error(walked.failure->folder + ": " + walked.failure->reason);
}

// A system folder that maps to no drive (its share neither a letter nor an administrative share)
// fails the step, as the failure of any other step: nothing is copied to a made-up place.
void BackupRun::CopySystemFolder() {
    MeasureAndMirror(SystemFolder, MapServerFolder(SystemFolder), true);
}

// A batch file that cannot be started, or that ends with an exit code other than 0, is a
// failure of the run, which goes on: some batch files end with a code that is no error
// (robocopy's 1, "files copied").
void BackupRun::CopyDatabase() {
    // At a drive root the current directory ends with "\", and the path then holds two.
    const std::string batchFile = platform::CurrentDirectory() + "\\Duplora.bat";
    const std::optional<int> exitCode = RunAndWait(batchFile, "", kShowNormal);
    if (!exitCode)
        Report.Failure(batchFile, platform::LastErrorText());
    else if (*exitCode != 0)
        Report.Failure(batchFile, "Duplora.bat terminou com o código " + std::to_string(*exitCode));
}

// A row without a path is one bad row: counted and logged, and the other folders are still
// copied.
void BackupRun::CopyMusicFolders() {
    FbQuery& query = database_.QryBusca;
    query.Close();
    query.SetSQL("SELECT Pas_Path FROM Tb_Pastas");
    query.Open();
    query.First();
    for (int row = 1; !query.Eof(); ++row) {
        const std::string path = query.FieldAsString("Pas_Path");
        if (path.empty())
            Report.Failure("Tb_Pastas, linha " + std::to_string(row), kEmptyFolderPath);
        else
            MeasureAndMirror(path, MapMusicFolder(path), false);
        query.Next();  // the next row is fetched only now, after this folder is done
    }
}
