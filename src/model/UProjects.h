#pragma once

#include "model/DataFileState.h"
#include "model/KeyedList.h"
#include "model/Tasks.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

// The project book and the day-planner store. All strings are Windows-1252 bytes, kept as
// the user typed or picked them.

class TTextFileWriter;

class TProject {
public:
    TProject() = default;
    TProject(const TProject &) = delete;
    TProject &operator=(const TProject &) = delete;

    QByteArray Name;
    TTasks Tasks; // key = the task's description when it was added
    QByteArray Category;
    QByteArray StartDate;
    QByteArray EndDate;

    // ClearTasks, then the eleven default tasks, not done, without notes or dates.
    void AddDefaultTasks();
    void ClearTasks();
    int DoneCount() const { return Tasks.doneCount(); }
    // 0..100: DoneCount / task count * 100, halves to the even neighbour; 0 without tasks.
    int PercentDone() const;
};

// The fields of one task line (line breaks already restored): fields enclosed in "^" (two in
// a row stand for one) or bare, separated by "," and blanks (codes 1..32). A quoted field
// without its closing "^" runs to the end of the line less its last character; a "," that
// ends the line adds one empty field.
QList<QByteArray> SplitTaskFields(const QByteArray &line);

// The project book: key = project name, kept equal to TProject::Name.
class TProjects : public TKeyedList<TProject> {
public:
    // appDir ends with a separator.
    explicit TProjects(const QString &appDir);

    TStringList Categories; // plain names in display order; look-ups ignore case

    // The first project whose Name equals name exactly (case-sensitive), with its position
    // in index; none leaves index untouched.
    TProject *FindProjectByName(const QByteArray &name, int &index) const;

    // Missing files leave the book as it is. A file that exists but cannot be read (a
    // link to nothing included) throws TFileError and leaves the book as it was; it is then
    // never overwritten by this book: its Save throws TFileError saying so and writes
    // nothing. What a damaged file loses on loading is noted in its state (drops).
    void LoadCategories(); // replaces Categories with the file's lines
    void LoadProjects();   // appends the file's projects
    // Each saves one file on its own (TSaveTransaction); "Save Changes" saves all three
    // together through WriteCategories and WriteProjects.
    void SaveCategories();
    void SaveProjects();
    void WriteCategories(TTextFileWriter &out) const;
    void WriteProjects(TTextFileWriter &out) const;

    bool CategoriesLoadFailed() const { return m_categoriesState.loadFailed; }
    bool ProjectsLoadFailed() const { return m_projectsState.loadFailed; }
    TDataFileState &CategoriesState() { return m_categoriesState; }
    TDataFileState &ProjectsState() { return m_projectsState; }

    // The files in appDir, matched without regard to letter case ("categories.dat",
    // "Projects.dat").
    QString CategoriesPath() const;
    QString ProjectsPath() const;

private:
    // The records of projects from..to-1, as written to the file.
    void AppendProjects(QByteArray &out, int from, int to) const;

    QString m_appDir;
    TDataFileState m_categoriesState;
    TDataFileState m_projectsState;
};

class TToDoHour {
public:
    TToDoHour() = default;
    TToDoHour(QByteArray day, QByteArray hour, QByteArray action);

    QByteArray Day;    // the day's short-date text
    QByteArray Hour;   // the hour row's label, e.g. "9:00 AM"
    QByteArray Action; // may hold CR and LF
};

// day + "-" + hour.
QByteArray PlannerKey(const QByteArray &day, const QByteArray &hour);

// The day-planner store: key = PlannerKey of the entry's day and hour.
class THours : public TKeyedList<TToDoHour> {
public:
    explicit THours(const QString &appDir);

    // Same rules as the project book's files: a missing file adds nothing; an unreadable
    // one throws TFileError and is then never overwritten by this store.
    void LoadHours(); // appends the file's entries
    void SaveHours();
    void WriteHours(TTextFileWriter &out) const;

    bool HoursLoadFailed() const { return m_hoursState.loadFailed; }
    TDataFileState &HoursState() { return m_hoursState; }
    QString HoursPath() const; // "Hours.dat" in appDir, matched ignoring case

private:
    QString m_appDir;
    TDataFileState m_hoursState;
};
