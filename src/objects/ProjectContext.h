#pragma once
// What objects need of the project they belong to: its picture list, its data sources and
// whether the project embeds its pictures. The project fills it in; without a project the
// pointers are null and objects work without pictures from the list and without data.
class TBilderList;
class TObjectList;

struct TProjectContext {
    TBilderList* Pictures = nullptr;
    TObjectList* DataSources = nullptr;
    bool EmbedPictures = false;
    bool Active = false; // a project exists
};

TProjectContext& ProjectContext();
