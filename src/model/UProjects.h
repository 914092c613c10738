#pragma once

#include "model/KeyedList.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

// The project book and the day-planner store. All strings are Windows-1252 bytes, kept as
// the user typed or picked them.

class TTask {
public:
    TTask() = default;
    TTask(bool done, QByteArray description, QByteArray notes, QByteArray startDate,
          QByteArray endDate);

    bool Done = false;
    QByteArray Description;
    QByteArray Notes; // may hold CR and LF
    QByteArray StartDate;
    QByteArray EndDate;
};

class TProject {
public:
    TProject() = default;
    TProject(const TProject &) = delete;
    TProject &operator=(const TProject &) = delete;

    QByteArray Name;
    TKeyedList<TTask> Tasks; // key = the task's description when it was added
    QByteArray Category;
    QByteArray StartDate;
    QByteArray EndDate;

    // ClearTasks, then the eleven default tasks, not done, without notes or dates.
    void AddDefaultTasks();
    void ClearTasks();
    int DoneCount() const;
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

    // Missing files leave the book as it is. A file that exists but cannot be read throws
    // TFileError and leaves the book as it was; it is then never overwritten by this book:
    // its Save throws TFileError saying so and writes nothing.
    void LoadCategories(); // replaces Categories with the file's lines
    void LoadProjects();   // appends the file's projects
    void SaveCategories();
    void SaveProjects();

    bool CategoriesLoadFailed() const { return m_categoriesLoadFailed; }
    bool ProjectsLoadFailed() const { return m_projectsLoadFailed; }

    // The files in appDir, matched without regard to letter case ("categories.dat",
    // "Projects.dat").
    QString CategoriesPath() const;
    QString ProjectsPath() const;

private:
    QString m_appDir;
    bool m_categoriesLoadFailed = false;
    bool m_projectsLoadFailed = false;
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

    bool HoursLoadFailed() const { return m_hoursLoadFailed; }
    QString HoursPath() const; // "Hours.dat" in appDir, matched ignoring case

private:
    QString m_appDir;
    bool m_hoursLoadFailed = false;
};
