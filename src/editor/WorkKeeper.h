// CWorkKeeper: never losing work. It keeps the scene in a recovery file
// (written by the autosave, and at an ending signal), names the scene in the
// window's caption with a "*" while it has unsaved changes, asks before a
// quit drops them, and offers what an editor that ended without saving left
// behind.
#ifndef TOLVANE_WORKKEEPER_H
#define TOLVANE_WORKKEEPER_H

#include <irrlicht.h>
#include <string>
#include <vector>

#include "Recovery.h"

using namespace irr;

class CSceneEditor;

class CWorkKeeper
{
public:
	explicit CWorkKeeper(CSceneEditor& editor) : Editor(editor) {}

	//! Starts the recovery and offers the work other editors left.
	void Start();
	//! Every frame: the recovery keeps the scene as it is now, the autosave
	//! writes it when due, and the caption follows.
	void KeepWork();
	//! Writes the recovery file now, as the autosave does; false on failure.
	bool WriteRecovery();
	//! The autosave writes in a thread of its own; this waits for it (false
	//! when it failed).
	bool WaitForAutosave() { return Recovery.Wait(); }
	//! The file this editor keeps unsaved work in.
	std::string RecoveryFile() const { return Recovery.File(); }
	//! Seconds until the autosave is due (by the editor's clock), negative
	//! when none is.
	double SecondsToAutosave() const;
	//! Quits at once when nothing is unsaved, else asks first.
	void RequestQuit();
	//! The answer to the quit or the recovery question; false for another.
	bool OnQuestionAnswered(s32 id, gui::EGUI_EVENT_TYPE answer);
	//! Before the run ends: work the user did not choose to drop is kept.
	void EndRun();
	const std::wstring& WindowCaption() const { return Caption; }

private:
	void TellWorkNotKept();
	void UpdateCaption();
	void Quit();
	void AskAboutLeftWork();
	bool OpenRecovered(const SRecoveredScene& scene);

	CSceneEditor& Editor;
	CRecovery Recovery;
	//! Recovery files of editors that ended, still to be offered.
	std::vector<SLeftRecovery> LeftWork;
	double AutosaveDeadline = -1;
	//! The document's version the recovery keeps, and the one it wrote.
	unsigned long long KeptVersion = ~0ull, WrittenVersion = ~0ull;
	bool KeptUnsaved = false;
	std::string KeptFile;
	std::wstring Caption = L"0.0.7";
	//! The user chose to quit (nothing left unsaved, or "No").
	bool QuitAllowed = false;
	//! "Yes" to the quit question opened "Save Scene".
	bool QuitAfterSave = false;
	bool RunEnded = false;
	//! The user was told that the recovery folder cannot be written.
	bool ToldWorkNotKept = false;
};

#endif
