// The Qt Designer plugin that offers KeymoraWidget on the widget box page "Music", with the
// control's palette bitmap as its icon.
#pragma once

#include <QtCore/QObject>
#include <QtGui/QIcon>
#include <QtGui/QImage>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

/// The palette bitmap TKEYMORA as an ARGB image whose border colour (the colour of the
/// lower-left pixel, as palette images use) is transparent.
QImage KeymoraPaletteImage();

class KeymoraDesignerPlugin : public QObject, public QDesignerCustomWidgetInterface {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QDesignerCustomWidgetInterface")
    Q_INTERFACES(QDesignerCustomWidgetInterface)

  public:
    explicit KeymoraDesignerPlugin(QObject* parent = nullptr);

    QString name() const override;
    QString group() const override;
    QString toolTip() const override;
    QString whatsThis() const override;
    QString includeFile() const override;
    QIcon icon() const override;
    bool isContainer() const override { return false; }
    QWidget* createWidget(QWidget* parent) override;
    bool isInitialized() const override { return Initialized_; }
    void initialize(QDesignerFormEditorInterface* core) override;
    QString domXml() const override;

  private:
    bool Initialized_ = false;
};
