// Never losing work: the question before quitting drops unsaved changes,
// the window caption that names the scene and marks it changed, the
// autosave into a recovery file, and the offer to open what an editor that
// ended without saving left behind.
#include "WorkKeeper.h"

#include <cstring>
#include <ctime>
#include <iterator>

#include "CSceneEditor.h"
#include "EditorIds.h"
#include "FileNames.h"
#include "XInput.h"
#include "XSession.h"

namespace
{
const wchar_t* const Version = L"0.0.7";

const wchar_t* const RecoverCaption = L"Recover Unsaved Work";

// The scene file's own name, without its folder.
std::wstring ShortName(const std::string& file)
{
	const size_t slash = file.rfind('/');
	return FileNameToWide(slash == std::string::npos ? file : file.substr(slash + 1));
}

std::wstring WhenWritten(const SLeftRecovery& left)
{
	char when[64];
	std::strftime(when, sizeof when, "%Y-%m-%d %H:%M", std::localtime(&left.Written));
	return FileNameToWide(when);
}

// Part of the scene is lost when the file ends inside its objects.
bool LostPart(const SRecoveredScene& scene)
{
	return scene.CutShort && scene.Whole < scene.Named;
}

// Draws what it holds with the window colours half transparent, so that the
// scene shows through; it covers the GUI, takes no click itself, and goes
// with the last element it holds.
class CSeeThrough : public gui::IGUIElement
{
public:
	static CSeeThrough* Over(gui::IGUIEnvironment* gui)
	{
		CSeeThrough* frame = new CSeeThrough(gui);
		frame->drop(); // the GUI keeps it
		return frame;
	}
	void draw() override
	{
		gui::IGUISkin* skin = Environment->getSkin();
		video::SColor kept[std::size(Faces)];
		for (size_t i = 0; i < std::size(Faces); ++i)
		{
			kept[i] = skin->getColor(Faces[i]);
			video::SColor faded = kept[i];
			faded.setAlpha(kept[i].getAlpha() * 3 / 5);
			skin->setColor(Faces[i], faded);
		}
		IGUIElement::draw();
		for (size_t i = 0; i < std::size(Faces); ++i)
			skin->setColor(Faces[i], kept[i]);
	}
	bool isPointInside(const core::position2d<s32>&) const override { return false; }
	void removeChild(gui::IGUIElement* child) override
	{
		IGUIElement::removeChild(child);
		if (Children.empty())
			remove();
	}

private:
	explicit CSeeThrough(gui::IGUIEnvironment* gui)
	    : IGUIElement(gui::EGUIET_ELEMENT, gui, gui->getRootGUIElement(), -1,
	                  gui->getRootGUIElement()->getAbsolutePosition())
	{
		setAlignment(gui::EGUIA_UPPERLEFT, gui::EGUIA_LOWERRIGHT, gui::EGUIA_UPPERLEFT,
		             gui::EGUIA_LOWERRIGHT);
	}
	//! The colours of window and button faces, borders and shadows.
	static constexpr gui::EGUI_DEFAULT_COLOR Faces[] = {
	    gui::EGDC_3D_DARK_SHADOW,  gui::EGDC_3D_SHADOW, gui::EGDC_3D_FACE,
	    gui::EGDC_3D_HIGH_LIGHT,   gui::EGDC_3D_LIGHT,  gui::EGDC_ACTIVE_BORDER,
	    gui::EGDC_INACTIVE_BORDER, gui::EGDC_WINDOW};
};

std::wstring OfferText(const SLeftRecovery& left, const SRecoveredScene& scene)
{
	const std::wstring name =
	    scene.SceneFile.empty() ? L"an untitled scene" : ShortName(scene.SceneFile);
	std::wstring text =
	    L"Tolvane ended without saving " + name + L" at " + WhenWritten(left) + L".";
	if (LostPart(scene))
		text += L" What it kept is cut short: " + std::to_wstring(scene.Whole) + L" of " +
		        std::to_wstring(scene.Named) + L" objects can be read, and the file is kept.";
	return text + L" Open what it kept?";
}
} // namespace

double CWorkKeeper::SecondsToAutosave() const
{
	return AutosaveDeadline < 0 ? -1.0 : std::max(0.0, AutosaveDeadline - Editor.Now());
}

void CWorkKeeper::Start()
{
	InterceptWindowClose(WindowDisplay(Editor._driver));
	// A folder that cannot be written now is tried again by every write,
	// the last one at an ending signal.
	const bool started = Recovery.Start();
	Recovery.WriteOnEndingSignals();
	OnConnectionLost(&CRecovery::WriteBeforeEnding);
	if (!started)
		return;
	LeftWork = Recovery.FindLeft();
	AskAboutLeftWork();
}

// Once a run: the work of the next hours would be lost without a word.
void CWorkKeeper::TellWorkNotKept()
{
	if (ToldWorkNotKept)
		return;
	ToldWorkNotKept = true;
	const std::wstring text = L"Unsaved work is not being kept: its recovery file cannot be "
	                          L"written in " +
	                          FileNameToWide(Recovery.FolderInUse()) + L" (" +
	                          FileNameToWide(strerror(Recovery.LastError())) +
	                          L"). Save the scene to keep it.";
	Editor.ShowMessage(L"Autosave Error", text.c_str());
}

// Every frame: the recovery keeps the scene as it is now, the autosave
// writes it when due, and the caption follows.
void CWorkKeeper::KeepWork()
{
	const bool unsaved = Editor.Document.Unsaved();
	if (Editor.Document.Version != KeptVersion || unsaved != KeptUnsaved ||
	    Editor.Files.SceneFileName != KeptFile)
	{
		Recovery.Keep(Editor.Document.State(), Editor.Files.SceneFileName, unsaved);
		KeptVersion = Editor.Document.Version;
		KeptUnsaved = unsaved;
		KeptFile = Editor.Files.SceneFileName;
		UpdateCaption();
	}
	if (!unsaved)
	{
		// Saved, opened, or undone back to either: nothing to recover.
		AutosaveDeadline = -1;
		if (Recovery.Written())
			Recovery.Remove();
	}
	else if (Editor.Document.Version != WrittenVersion)
	{
		// Due a fixed time after the first change the file does not hold.
		if (AutosaveDeadline < 0)
			AutosaveDeadline = Editor.Now() + CSceneEditor::AUTOSAVE_SECONDS;
		if (Editor.Now() >= AutosaveDeadline)
		{
			// The disk is waited for in a thread of its own, not in the frame.
			Recovery.WriteKeptLater();
			WrittenVersion = Editor.Document.Version;
			AutosaveDeadline = -1;
		}
	}
	// A write that failed is tried again after another interval.
	if (Recovery.TakeFailure())
	{
		WrittenVersion = ~0ull;
		TellWorkNotKept();
	}
	// "Yes" to the quit question saved through "Save Scene": quit once the
	// window is done and the scene saved; a cancelled or failed save goes
	// back to the scene.
	if (QuitAfterSave && !Editor.Files.SaveSceneWindow()->isVisible())
	{
		QuitAfterSave = false;
		if (!Editor.Document.Unsaved())
			Quit();
	}
}

bool CWorkKeeper::WriteRecovery()
{
	Recovery.Keep(Editor.Document.State(), Editor.Files.SceneFileName, Editor.Document.Unsaved());
	if (!Recovery.WriteKept())
		return false;
	WrittenVersion = Editor.Document.Version;
	AutosaveDeadline = -1;
	return true;
}

void CWorkKeeper::UpdateCaption()
{
	std::wstring caption = Version;
	if (!Editor.Files.SceneFileName.empty() || KeptUnsaved)
		caption = (Editor.Files.SceneFileName.empty() ? std::wstring(L"Untitled")
		                                              : ShortName(Editor.Files.SceneFileName)) +
		          (KeptUnsaved ? L"*" : L"") + L" - " + Version;
	if (caption != Caption)
		Editor._device->setWindowCaption(caption.c_str());
	Caption = caption;
}

// ---------------------------------------------------------------------------
// Quitting

void CWorkKeeper::RequestQuit()
{
	if (!Editor.Document.Unsaved())
	{
		Quit();
		return;
	}
	const std::wstring text = Editor.Files.SceneFileName.empty()
	                              ? std::wstring(L"Save this scene before quitting?")
	                              : L"Save the changes to " +
	                                    ShortName(Editor.Files.SceneFileName) +
	                                    L" before quitting?";
	Editor.Ask(L"Unsaved Changes", text, gui::EMBF_YES | gui::EMBF_NO | gui::EMBF_CANCEL,
	           ID_QUIT_QUESTION);
}

void CWorkKeeper::Quit()
{
	QuitAllowed = true;
	Recovery.Remove();
	Editor._device->closeDevice();
}

bool CWorkKeeper::OnQuestionAnswered(s32 id, gui::EGUI_EVENT_TYPE answer)
{
	const bool yes = answer == gui::EGET_MESSAGEBOX_YES;
	if (id == ID_QUIT_QUESTION)
	{
		if (answer == gui::EGET_MESSAGEBOX_NO)
			Quit();
		else if (yes && Editor.Files.SceneFileName.empty())
		{
			Editor.Files.ShowSaveSceneWindow();
			QuitAfterSave = true;
		}
		else if (yes && Editor.SaveScene(Editor.Files.SceneFileName.c_str()))
			Quit();
		return true;
	}
	if (id == ID_RECOVERY_QUESTION && !LeftWork.empty())
	{
		SLeftRecovery left = LeftWork.front();
		LeftWork.erase(LeftWork.begin());
		SRecoveredScene scene;
		const bool read = CRecovery::Read(left.Path, scene);
		bool adopted = false;
		if (yes && read)
		{
			adopted = OpenRecovered(scene);
			// One recovered scene per run: the others wait for the next.
			for (SLeftRecovery& other : LeftWork)
				CRecovery::Release(other, false);
			LeftWork.clear();
		}
		// Escape or the box's close button decide nothing: the file is
		// offered again at the next start, as after a "Yes" whose work this
		// editor could not write down. "No" throws it away; after "Yes" its
		// work is this editor's, unless part of it could not be read.
		if (answer == gui::EGET_MESSAGEBOX_CANCEL || (yes && read && !adopted))
			CRecovery::Release(left, false);
		else if (yes && (!read || LostPart(scene)))
			CRecovery::SetAside(left);
		else
			CRecovery::Release(left, true);
		AskAboutLeftWork();
		return true;
	}
	return false;
}

// Before the run ends: work the user did not choose to drop is kept.
void CWorkKeeper::EndRun()
{
	if (RunEnded)
		return;
	RunEnded = true;
	const bool keep = !QuitAllowed && Editor.Document.Unsaved();
	if (keep)
		WriteRecovery();
	Recovery.Finish(keep);
}

// ---------------------------------------------------------------------------
// Work left by an editor that ended without saving

// Files that cannot be opened are named, each with what it holds that
// the editor cannot use, in the box of the next question or one of their
// own; each is kept under another name, never deleted.
void CWorkKeeper::AskAboutLeftWork()
{
	std::wstring refused;
	while (!LeftWork.empty())
	{
		SLeftRecovery& left = LeftWork.front();
		SRecoveredScene scene;
		if (CRecovery::Read(left.Path, scene))
		{
			// The scene the question is about shows through it.
			Editor.Ask(RecoverCaption, refused + OfferText(left, scene),
			           gui::EMBF_YES | gui::EMBF_NO, ID_RECOVERY_QUESTION,
			           CSeeThrough::Over(Editor._gui));
			return;
		}
		const std::wstring when = WhenWritten(left);
		const std::string kept = CRecovery::SetAside(left);
		refused += L"What Tolvane kept at " + when + L" cannot be opened: " + scene.Problem +
		           L". The file is kept as " + FileNameToWide(kept) + L".\n\n";
		LeftWork.erase(LeftWork.begin());
	}
	if (!refused.empty())
		Editor.ShowMessage(RecoverCaption, refused.substr(0, refused.size() - 2).c_str());
}

// The recovered scene replaces the empty one as an undo step. It has not
// been saved to its file, so it has unsaved changes until it is; and it is
// this editor's recovery file before the old one goes (false: it could not
// be written).
bool CWorkKeeper::OpenRecovered(const SRecoveredScene& scene)
{
	Editor.ApplyState(scene.State, Editor.Document.State());
	Editor.Files.SceneFileName = scene.SceneFile;
	Editor.SceneChanged();
	Editor.RecordStep();
	Editor.Document.SavedContent = ~0ull;
	if (WriteRecovery())
		return true;
	TellWorkNotKept();
	return false;
}
