#pragma once
// Sections and maps of the survey in the window (查看 › 断面图, objectName SectionView in the dock
// SectionDock): for the sounding types, the line chosen (SectionLine) as a pseudo-section of
// apparent resistivity (x against AB/2) and as a geoelectric section from the stations' models
// (x against depth, to the depth SectionDepth), each station's misfit under it; for the profile
// types, the plan map of the lines with the crossings of combined profiling listed. Colours on one
// logarithmic scale with its legend in Ω·m; hovering tells the values under the mouse, a click
// on a station shows it in the form. Drawn with Qt's painter into images (Qt Charts has no colour
// maps); the same painting exports PNG, SVG and PDF and makes the PDF report's pages.

#include <QDockWidget>
#include <QImage>
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "plot/section.h"
#include "session/survey.h"

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPainter;
class QPaintDevice;
class Dialogs;

// One picture of a survey: what a section or map shows, for any size.
class SectionPicture {
 public:
  enum class Kind { Pseudo, Geoelectric, Plan };
  // The survey's picture of kind: the stations of line (GBK) for the sections; every line for
  // the plan. depth: the geoelectric section's depth in m.
  SectionPicture(Kind kind, DataType type, const StationList& stations, const std::string& line, double depth);

  Kind kind() const { return kind_; }
  bool empty() const;
  // Paints the picture (title, axes, colours, stations, legend) into rect.
  void paint(QPainter& painter, const QRect& rect, const ValueRange& range) const;
  // The range of log10 resistivity the picture's values span (at a modest resolution).
  ValueRange range() const;
  // What lies under a point of rect as painted: a text for the user, and the station (survey
  // index) nearest along the line within a few pixels, -1 for none.
  QString describe(const QRect& rect, const QPoint& at, int* station = nullptr) const;
  // The crossings of combined lines, as text lines ("线 7：点号 10"), for the list under the map.
  QStringList crossingTexts() const;
  const std::vector<std::size_t>& stations() const { return line_; }

 private:
  QRect plotArea(const QRect& rect) const;
  Raster raster(int width, int height) const;
  double xOf(const QRect& area, double x) const;
  double yOf(const QRect& area, double y) const;

  Kind kind_;
  DataType type_;
  const StationList* stations_;
  std::vector<std::size_t> line_;
  std::vector<PlanLine> plan_;
  RasterArea area_;
  bool logY_ = false;
  double depth_ = 100.0;
};

// The pictures of a survey: the pseudo-section and the geoelectric section (to depth) of the
// line of soundings named line (GBK), or the plan map of the profiling lines.
std::vector<SectionPicture> SectionPictures(DataType type, const StationList& stations, const std::string& line,
                                            double depth);

// The range of values the pictures span together: one colour scale for all of them.
ValueRange CommonRange(const std::vector<SectionPicture>& pictures);

class SectionView : public QWidget, private SurveyObserver {
  Q_OBJECT
 public:
  SectionView(Survey& survey, Dialogs& dialogs, std::function<void(int)> show, QWidget* parent = nullptr);
  ~SectionView() override;

  // The pictures shown now (the two sections of a line, or the plan map).
  std::vector<SectionPicture> pictures() const;
  // Writes the pictures to path; the format follows the suffix (png, svg or pdf). On failure
  // false, and error says why.
  bool exportTo(const QString& path, QString* error = nullptr);
  // The text of the point under the mouse (empty when none), and the crossings listed.
  QString hoverText() const;
  QString infoText() const;
  // The canvas of each picture (for tests: where to move and click).
  QList<QWidget*> canvases() const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void surveyChanged(unsigned changes) override;
  void schedule();
  void refresh();
  void exportPictures();
  // The pictures and their common colour range made afresh from the survey, and redrawn.
  void rebuild();

  Survey& survey_;
  Dialogs& dialogs_;
  std::function<void(int)> show_;
  QComboBox* line_ = nullptr;
  QDoubleSpinBox* depth_ = nullptr;
  QLabel* lineLabel_ = nullptr;
  QLabel* depthLabel_ = nullptr;
  QLabel* hover_ = nullptr;
  QLabel* info_ = nullptr;
  QWidget* canvasArea_ = nullptr;
  QList<QWidget*> canvases_;
  std::vector<SectionPicture> shown_;  // what the canvases paint
  ValueRange range_;
  bool scheduled_ = false;
  bool depthTouched_ = false;  // the user chose a depth: kept while the line stays
  std::string lastLine_;
};

class SectionDock : public QDockWidget {
  Q_OBJECT
 public:
  SectionDock(Survey& survey, Dialogs& dialogs, std::function<void(int)> show, QWidget* parent = nullptr);
  SectionView* view() const { return view_; }
  QSize sizeHint() const override;

 private:
  SectionView* view_;
};
