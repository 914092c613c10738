#pragma once
// Contract only; the implementation fills this header. All strings are Windows-1252 bytes.
//
// class TTask { bool Done; QByteArray Description, Notes, StartDate, EndDate;
//               TTask(bool done, QByteArray description, notes, startDate, endDate); };
//
// class TProject {
//   QByteArray Name; TKeyedList<TTask> Tasks; QByteArray Category, StartDate, EndDate;
//   void AddDefaultTasks();   // ClearTasks, then the eleven default tasks
//   void ClearTasks();
//   int DoneCount() const;
//   int PercentDone() const;  // half to even; 0 without tasks
// };
//
// class TProjects : public TKeyedList<TProject> {   // key = project name
//   explicit TProjects(const QString &appDir);      // appDir ends with a separator
//   TStringList Categories;
//   TProject *FindProjectByName(const QByteArray &name, int &index) const; // exact, first
//   void LoadCategories(); void LoadProjects();     // throw TFileError
//   void SaveCategories(); void SaveProjects();     // throw TFileError
//   // A file that existed but failed to load is never overwritten in this run: its Save
//   // throws TFileError saying so, and writes nothing.
//   QString CategoriesPath() const; QString ProjectsPath() const;
// };
//
// class TToDoHour { QByteArray Day, Hour, Action; };
// QByteArray PlannerKey(const QByteArray &day, const QByteArray &hour); // day + "-" + hour
//
// class THours : public TKeyedList<TToDoHour> {   // key = PlannerKey
//   explicit THours(const QString &appDir);
//   void LoadHours(); void SaveHours();              // throw TFileError; same load rule
//   QString HoursPath() const;
// };
