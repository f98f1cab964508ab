#include <QGraphicsScene>
#include <QApplication>
#include <QChart>
#include <QLabel>
