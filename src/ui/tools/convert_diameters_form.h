#pragma once

#include <QWidget>
#include <optional>

class QLineEdit;

namespace quarn {

class HelpService;
class Prompt;

// The particle-diameter converter: physical to aerodynamic diameter and back, at the air
// temperature and pressure and the particle density of its boxes. Each box is read by its
// leading number, so a result ("1.51855 µm") can be converted back as it stands.
class ConvertDiametersForm : public QWidget {
  Q_OBJECT

 public:
  ConvertDiametersForm(Prompt& prompt, HelpService& help, QWidget* parent = nullptr);

  void CalculateAerodiam();
  void CalculatePhysical();

 private:
  QLineEdit* AddBox(const char* name, const char* label_name, const char* label,
                    const char* initial);
  struct Inputs {
    float temp_c, p, d, rho;
  };
  float Read(const QLineEdit& box) const;
  // The four inputs with the diameter of that box, or nullopt after the input message.
  std::optional<Inputs> ReadInputs(const QLineEdit& diameter);
  // The diameter into the box through the pattern, or the input message when none was found.
  void WriteResult(QLineEdit& box, float diameter, bool found, const char* pattern);
  void InputError();

  Prompt& prompt_;
  HelpService& help_;
  QWidget* boxes_ = nullptr;
  QLineEdit* temp_c_ = nullptr;
  QLineEdit* pressure_ = nullptr;
  QLineEdit* d_physical_ = nullptr;
  QLineEdit* d_aero_ = nullptr;
  QLineEdit* density_ = nullptr;
};

}  // namespace quarn
