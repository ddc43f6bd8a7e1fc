#include "History.h"

#include "Commands.h"

bool CEditHistory::Record(CSceneDocument& document, const std::wstring& what)
{
	std::wstring named;
	named.swap(Pending);
	if (Steps.empty())
	{
		Steps.push_back({document.State(), document.Content, L""});
		Position = 0;
		return false;
	}
	const SStep& shown = Steps[Position];
	if (document.Content == shown.Content)
		return false;
	// Changed and changed back: the step shown is the scene.
	if (document.State() == shown.State)
	{
		document.Content = shown.Content;
		return false;
	}
	if (named.empty())
		named = what.empty() ? DescribeChange(shown.State, document.State()) : what;
	// A new change drops the steps that were taken back.
	Steps.erase(Steps.begin() + Position + 1, Steps.end());
	Steps.push_back({document.State(), document.Content, std::move(named)});
	if (Steps.size() > STEPS + 1)
		Steps.pop_front();
	Position = Steps.size() - 1;
	return true;
}

const CEditHistory::SStep* CEditHistory::Back()
{
	if (!CanUndo())
		return nullptr;
	return &Steps[--Position];
}

const CEditHistory::SStep* CEditHistory::Forward()
{
	if (!CanRedo())
		return nullptr;
	return &Steps[++Position];
}
