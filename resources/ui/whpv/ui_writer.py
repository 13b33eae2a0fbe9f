"""Writes Qt Designer dialog templates from a list of controls; used by the template scripts."""
from xml.sax.saxutils import escape


class Template:
    def __init__(self, name, width, height, title):
        self.name, self.width, self.height, self.title = name, width, height, title
        self.controls = []

    def add(self, cls, x, y, w, h, text=None, id=None, **props):
        self.controls.append((cls, x, y, w, h, text, id, props))
        return self

    def label(self, x, y, w, h, text, id=None):
        return self.add("QLabel", x, y, w, h, text, id)

    def edit(self, x, y, w, h, id, length):
        return self.add("QLineEdit", x, y, w, h, None, id, maxLength=length)

    def button(self, x, y, w, h, text, id, default=False):
        return self.add("QPushButton", x, y, w, h, text, id, default=default)

    def check(self, x, y, w, h, text, id):
        return self.add("QCheckBox", x, y, w, h, text, id)

    def xml(self):
        out = ['<?xml version="1.0" encoding="UTF-8"?>', '<ui version="4.0">', " <class>%s</class>" % self.name,
               ' <widget class="QDialog" name="%s">' % self.name,
               "  <property name=\"geometry\"><rect><x>0</x><y>0</y><width>%d</width><height>%d</height></rect>"
               "</property>" % (self.width, self.height),
               "  <property name=\"windowTitle\"><string>%s</string></property>" % escape(self.title)]
        for n, (cls, x, y, w, h, text, id, props) in enumerate(self.controls, 1):
            out.append('  <widget class="%s" name="w%d">' % (cls, n))
            out.append("   <property name=\"geometry\"><rect><x>%d</x><y>%d</y><width>%d</width><height>%d</height>"
                       "</rect></property>" % (x, y, w, h))
            if id is not None:
                out.append('   <property name="id" stdset="0"><number>%d</number></property>' % id)
            if text is not None:
                key = "title" if cls == "QGroupBox" else "text"
                out.append("   <property name=\"%s\"><string>%s</string></property>" % (key, escape(text)))
            for key, value in props.items():
                if isinstance(value, bool):
                    if value:
                        out.append("   <property name=\"%s\"><bool>true</bool></property>" % key)
                elif isinstance(value, int):
                    out.append("   <property name=\"%s\"><number>%d</number></property>" % (key, value))
                else:
                    out.append("   <property name=\"%s\">%s</property>" % (key, value))
            out.append("  </widget>")
        out += [" </widget>", " <resources/>", " <connections/>", "</ui>", ""]
        return "\n".join(out)

    def write(self, folder):
        with open("%s/%s.ui" % (folder, self.name), "w") as f:
            f.write(self.xml())
